#include "shell/qt_messages.h"

#include "core/cp1254.h"
#include "shell/message_box.h"
#include "shell/value_prompt.h"
#include "shell/variable_chooser.h"

#include <QApplication>

namespace qvt {

namespace {

// A box asked for while another modal window is open (a design window, the
// variable chooser) belongs to that window, so it stays on top of it.
QWidget* owner(QWidget* parentWindow)
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return parentWindow;
}

int runMessageBox(TFuyari::Kind kind, std::string_view title, std::string_view message, QWidget* parent)
{
    TFuyari box(kind, fromCp1254(title), fromCp1254(message), owner(parent));
    return box.exec();
}

} // namespace

QtMessages::QtMessages(const ProjectState& project, QWidget* parentWindow)
    : project_(project)
    , parent_(parentWindow)
{
}

int QtMessages::AskYesNo(std::string_view title, std::string_view message)
{
    return runMessageBox(TFuyari::Kind::YesNo, title, message, parent_);
}

int QtMessages::AskYesNoCancel(std::string_view title, std::string_view message)
{
    return runMessageBox(TFuyari::Kind::YesNoCancel, title, message, parent_);
}

void QtMessages::ShowInfo(std::string_view title, std::string_view message)
{
    runMessageBox(TFuyari::Kind::Info, title, message, parent_);
}

void QtMessages::ShowError(std::string_view message)
{
    runMessageBox(TFuyari::Kind::Info, "Error", message, parent_);
}

bool QtMessages::AskInteger(int& value, std::string_view title)
{
    TFParamIntegerSor prompt(TFParamIntegerSor::Mode::Integer, fromCp1254(title),
                             value > 0 ? QString::number(value) : QString(), owner(parent_));
    if (prompt.exec() != QDialog::Accepted)
        return false;
    value = *parseWholeNumber(prompt.value());
    return true;
}

bool QtMessages::AskText(std::string& text, std::string_view title)
{
    TFParamIntegerSor prompt(TFParamIntegerSor::Mode::Text, fromCp1254(title), fromCp1254(text), owner(parent_));
    if (prompt.exec() != QDialog::Accepted)
        return false;
    text = toCp1254(prompt.value());
    return true;
}

bool QtMessages::SelectVariable(int maxLength, int& variableIndex, int& length)
{
    if (maxLength < 2)
        return false;
    TFTusSecim chooser(project_.variables, maxLength, *this, owner(parent_));
    if (chooser.exec() != QDialog::Accepted)
        return false;
    variableIndex = chooser.variableIndex();
    length = chooser.length();
    return true;
}

} // namespace qvt
