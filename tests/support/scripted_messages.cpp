#include "scripted_messages.h"

#include <gtest/gtest.h>

namespace qvt::test {

namespace {
template <typename Queue>
auto take(Queue& queue, const char* what)
{
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected " << what << " prompt: no scripted answer left";
        return typename Queue::value_type{};
    }
    auto value = queue.front();
    queue.pop_front();
    return value;
}
} // namespace

int ScriptedMessages::AskYesNo(std::string_view title, std::string_view message)
{
    shown.push_back({"yesno", std::string(title), std::string(message)});
    return answers.empty() ? (ADD_FAILURE() << "unexpected question: " << message, AnswerCancel) : take(answers, "yes/no");
}

int ScriptedMessages::AskYesNoCancel(std::string_view title, std::string_view message)
{
    shown.push_back({"yesnocancel", std::string(title), std::string(message)});
    return answers.empty() ? (ADD_FAILURE() << "unexpected question: " << message, AnswerCancel)
                           : take(answers, "yes/no/cancel");
}

void ScriptedMessages::ShowInfo(std::string_view title, std::string_view message)
{
    shown.push_back({"info", std::string(title), std::string(message)});
}

void ScriptedMessages::ShowError(std::string_view message)
{
    shown.push_back({"error", "Error", std::string(message)});
}

bool ScriptedMessages::AskInteger(int& value, std::string_view title)
{
    shown.push_back({"integer", std::string(title), std::to_string(value)});
    auto answer = take(integers, "integer");
    if (!answer)
        return false;
    value = *answer;
    return true;
}

bool ScriptedMessages::AskText(std::string& text, std::string_view title)
{
    shown.push_back({"text", std::string(title), text});
    auto answer = take(texts, "text");
    if (!answer)
        return false;
    text = *answer;
    return true;
}

bool ScriptedMessages::SelectVariable(int maxLength, int& variableIndex, int& length)
{
    if (maxLength < 2)
        return false;
    shown.push_back({"variable", "Select a variable", std::to_string(maxLength)});
    auto answer = take(variables, "variable");
    if (!answer)
        return false;
    variableIndex = answer->index;
    length = answer->length;
    return true;
}

std::vector<std::string> ScriptedMessages::errors() const
{
    std::vector<std::string> out;
    for (const auto& s : shown)
        if (s.kind == "error")
            out.push_back(s.message);
    return out;
}

std::string ScriptedMessages::transcript() const
{
    std::string out;
    for (const auto& s : shown)
        out += s.kind + ": " + s.message + "\n";
    return out;
}

std::optional<std::string> ScriptedFileDialogs::getOpenFileName(std::string_view title, std::string_view filter,
                                                                std::string_view defaultExtension)
{
    requests.push_back({false, std::string(title), std::string(filter), std::string(defaultExtension), "", false});
    return take(paths, "open file");
}

std::optional<std::string> ScriptedFileDialogs::getSaveFileName(std::string_view title, std::string_view filter,
                                                                std::string_view defaultExtension,
                                                                std::string_view initialName, bool confirmOverwrite)
{
    requests.push_back({true, std::string(title), std::string(filter), std::string(defaultExtension),
                        std::string(initialName), confirmOverwrite});
    return take(paths, "save file");
}

} // namespace qvt::test
