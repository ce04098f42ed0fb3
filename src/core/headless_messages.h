#pragma once

#include "core/messages.h"

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace qvt {

// Messages for code that runs without windows (the command-line tool,
// generators, benchmarks, fuzz harnesses): nothing is asked, every question
// gets its safe answer (No, Cancel, not confirmed). Boxes are handed to
// `shown`, which does nothing here.
class SilentMessages : public Messages {
public:
    int AskYesNo(std::string_view, std::string_view) override { return AnswerNo; }
    int AskYesNoCancel(std::string_view, std::string_view) override { return AnswerCancel; }
    void ShowInfo(std::string_view, std::string_view message) final { shown(message, false); }
    void ShowError(std::string_view message) final
    {
        ++errorCount;
        shown(message, true);
    }
    bool AskInteger(int&, std::string_view) override { return false; }
    bool AskText(std::string&, std::string_view) override { return false; }
    bool SelectVariable(int, int&, int&) override { return false; }

    int errorCount = 0;

protected:
    virtual void shown(std::string_view /*message*/, bool /*isError*/) {}
};

// Information and errors go to stderr, each line of a message under the
// prefix ("qvt: ...").
class StderrMessages : public SilentMessages {
public:
    explicit StderrMessages(std::string prefix = "qvt") : prefix_(std::move(prefix)) {}

    // Called before anything is printed, so that a progress bar line can be ended.
    std::function<void()> beforePrint;

protected:
    void shown(std::string_view message, bool) override
    {
        if (beforePrint)
            beforePrint();
        std::string line;
        const auto flush = [&] {
            if (!line.empty())
                std::fprintf(stderr, "%s: %s\n", prefix_.c_str(), line.c_str());
            line.clear();
        };
        for (char c : message) {
            if (c == '\r' || c == '\n')
                flush();
            else
                line.push_back(c);
        }
        flush();
    }

private:
    std::string prefix_;
};

} // namespace qvt
