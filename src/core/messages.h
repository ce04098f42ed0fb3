#pragma once

#include <string>
#include <string_view>

namespace qvt {

// Answers of the confirmation boxes; callers compare against these numbers.
enum Answer : int { AnswerYes = 6, AnswerNo = 7, AnswerCancel = 2 };

// Every message the program shows and every small question it asks goes
// through this interface. The designer implements it with its own modal
// dialogs; tests script the answers and record what was shown. Texts are
// 8-bit bytes as they stand in the project (Windows-1254 on display).
class Messages {
public:
    virtual ~Messages() = default;

    // Yes/No; 6, 7, or 2 when the box is closed with its close box.
    virtual int AskYesNo(std::string_view title, std::string_view message) = 0;
    // Yes/No/Cancel; 6, 7 or 2.
    virtual int AskYesNoCancel(std::string_view title, std::string_view message) = 0;
    virtual void ShowInfo(std::string_view title, std::string_view message) = 0;
    // As ShowInfo, titled "Error".
    virtual void ShowError(std::string_view message) = 0;

    // Edits `value` in place; true when confirmed with a whole number.
    virtual bool AskInteger(int& value, std::string_view title) = 0;
    // Edits `text` in place; any text, the empty one included, is accepted.
    virtual bool AskText(std::string& text, std::string_view title) = 0;
    // "Select a variable": a string, integer or float variable (1..100) and a
    // length 2..maxLength. False at once when maxLength < 2.
    virtual bool SelectVariable(int maxLength, int& variableIndex, int& length) = 0;
};

// The standard save question before discarding work.
inline constexpr std::string_view kSaveChangesQuestion = "Would you like to save changes?";
inline constexpr std::string_view kConfirmTitle = "Confirm";

} // namespace qvt
