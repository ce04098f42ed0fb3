#pragma once

#include "core/messages.h"
#include "core/project_state.h"

#include <QPointer>
#include <QWidget>

namespace qvt {

// Messages shown in the designer's own modal dialogs. Texts are project bytes
// and become display text here, at the widget edge. The variable chooser lists
// the names of `project`'s variables.
class QtMessages : public Messages {
public:
    explicit QtMessages(const ProjectState& project, QWidget* parentWindow = nullptr);

    // The window the dialogs belong to (the main window once it exists).
    void setParentWindow(QWidget* window) { parent_ = window; }

    int AskYesNo(std::string_view title, std::string_view message) override;
    int AskYesNoCancel(std::string_view title, std::string_view message) override;
    void ShowInfo(std::string_view title, std::string_view message) override;
    void ShowError(std::string_view message) override;
    bool AskInteger(int& value, std::string_view title) override;
    bool AskText(std::string& text, std::string_view title) override;
    bool SelectVariable(int maxLength, int& variableIndex, int& length) override;

private:
    const ProjectState& project_;
    QPointer<QWidget> parent_;
};

} // namespace qvt
