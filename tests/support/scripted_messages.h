#pragma once

#include "core/file_dialogs.h"
#include "core/messages.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qvt::test {

// A Messages double: answers from a script, records every box shown.
// Running out of scripted answers fails the test that asked.
class ScriptedMessages : public Messages {
public:
    struct Shown {
        std::string kind;  // "yesno", "yesnocancel", "info", "error", "integer", "text", "variable"
        std::string title;
        std::string message;
    };

    std::vector<Shown> shown;
    std::deque<int> answers;                  // for AskYesNo / AskYesNoCancel
    std::deque<std::optional<int>> integers;  // AskInteger: value, or nullopt for Cancel
    std::deque<std::optional<std::string>> texts;
    struct VariableChoice { int index; int length; };
    std::deque<std::optional<VariableChoice>> variables;

    int AskYesNo(std::string_view title, std::string_view message) override;
    int AskYesNoCancel(std::string_view title, std::string_view message) override;
    void ShowInfo(std::string_view title, std::string_view message) override;
    void ShowError(std::string_view message) override;
    bool AskInteger(int& value, std::string_view title) override;
    bool AskText(std::string& text, std::string_view title) override;
    bool SelectVariable(int maxLength, int& variableIndex, int& length) override;

    // Messages of the error boxes shown so far, in order.
    std::vector<std::string> errors() const;
    // Every box shown, in order, as "kind: message".
    std::string transcript() const;
};

// A FileDialogs double: returns scripted paths (nullopt = cancel) and records the requests.
class ScriptedFileDialogs : public FileDialogs {
public:
    struct Request {
        bool save;
        std::string title;
        std::string filter;
        std::string defaultExtension;
        std::string initialName;
        bool confirmOverwrite;
    };
    std::vector<Request> requests;
    std::deque<std::optional<std::string>> paths;

    std::optional<std::string> getOpenFileName(std::string_view title, std::string_view filter,
                                               std::string_view defaultExtension) override;
    std::optional<std::string> getSaveFileName(std::string_view title, std::string_view filter,
                                               std::string_view defaultExtension, std::string_view initialName,
                                               bool confirmOverwrite) override;
};

} // namespace qvt::test
