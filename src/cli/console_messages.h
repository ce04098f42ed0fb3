#pragma once

#include "shell/messages.h"

#include <cstdio>

namespace qvt::cli {

// Messages for a tool without windows: information and errors go to stderr as
// single lines, questions get their safe answer (No, Cancel) without asking.
class ConsoleMessages : public Messages {
public:
    explicit ConsoleMessages(std::string prefix = "qvt") : prefix_(std::move(prefix)) {}

    int AskYesNo(std::string_view, std::string_view) override { return AnswerNo; }
    int AskYesNoCancel(std::string_view, std::string_view) override { return AnswerCancel; }
    void ShowInfo(std::string_view, std::string_view message) override { print(message); }
    void ShowError(std::string_view message) override
    {
        print(message);
        ++errorCount;
    }
    bool AskInteger(int&, std::string_view) override { return false; }
    bool AskText(std::string&, std::string_view) override { return false; }
    bool SelectVariable(int, int&, int&) override { return false; }

    int errorCount = 0;

private:
    void print(std::string_view message)
    {
        // Multi-line messages keep their line breaks, each line under the prefix.
        std::string line;
        for (char c : message) {
            if (c == '\r' || c == '\n') {
                if (!line.empty())
                    std::fprintf(stderr, "%s: %s\n", prefix_.c_str(), line.c_str());
                line.clear();
            } else {
                line.push_back(c);
            }
        }
        if (!line.empty())
            std::fprintf(stderr, "%s: %s\n", prefix_.c_str(), line.c_str());
    }

    std::string prefix_;
};

} // namespace qvt::cli
