#pragma once

#include "core/file_dialogs.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QFileDialog;

namespace qvt {

// "Visual QVT Design File|*.zmk|All Files|*.*" becomes
// "Visual QVT Design File (*.zmk);;All Files (*)". "*.*" means every file, as
// it does on the systems the filters were written for.
QString toQtFilter(std::string_view filter);

// The open and save dialogs over QFileDialog. The open dialog accepts only an
// existing file; the save dialog appends the default extension to a name typed
// without one and asks before overwriting only when told to. Each dialog
// starts in the folder the previous one ended in.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parentWindow = nullptr, bool nativeDialogs = true);

    void setParentWindow(QWidget* window) { parent_ = window; }

    std::optional<std::string> getOpenFileName(std::string_view title, std::string_view filter,
                                               std::string_view defaultExtension) override;
    std::optional<std::string> getSaveFileName(std::string_view title, std::string_view filter,
                                               std::string_view defaultExtension, std::string_view initialName,
                                               bool confirmOverwrite) override;

private:
    void setUp(QFileDialog& dialog, std::string_view title, std::string_view filter,
               std::string_view defaultExtension) const;
    std::optional<std::string> run(QFileDialog& dialog);

    QPointer<QWidget> parent_;
    bool native_;
    QString lastFolder_;
};

} // namespace qvt
