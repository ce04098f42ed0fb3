#pragma once

#include "shell/messages.h"

namespace qvt::fuzz {

// Messages for harnesses: shows nothing, answers No.
class QuietMessages : public Messages {
public:
    int AskYesNo(std::string_view, std::string_view) override { return AnswerNo; }
    int AskYesNoCancel(std::string_view, std::string_view) override { return AnswerCancel; }
    void ShowInfo(std::string_view, std::string_view) override {}
    void ShowError(std::string_view) override {}
    bool AskInteger(int&, std::string_view) override { return false; }
    bool AskText(std::string&, std::string_view) override { return false; }
    bool SelectVariable(int, int&, int&) override { return false; }
};

} // namespace qvt::fuzz
