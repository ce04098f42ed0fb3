#include "shell/qt_file_dialogs.h"

#include "core/cp1254.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace qvt {

QString toQtFilter(std::string_view filter)
{
    const QStringList parts = fromCp1254(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        filters << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

QtFileDialogs::QtFileDialogs(QWidget* parentWindow, bool nativeDialogs)
    : parent_(parentWindow)
    , native_(nativeDialogs)
{
}

void QtFileDialogs::setUp(QFileDialog& dialog, std::string_view title, std::string_view filter,
                          std::string_view defaultExtension) const
{
    dialog.setWindowTitle(fromCp1254(title));
    dialog.setNameFilter(toQtFilter(filter));
    const QString extension = QString::fromLatin1(defaultExtension.data(), qsizetype(defaultExtension.size()));
    dialog.setDefaultSuffix(extension);
    // The filter of the default extension is the one chosen at first (the
    // design window's dialogs list project files first but want design
    // export files).
    if (!extension.isEmpty()) {
        const QString pattern = QLatin1String("*.") + extension;
        for (const QString& name : dialog.nameFilters())
            if (name.section(QLatin1Char('('), -1).chopped(1).split(QLatin1Char(' ')).contains(pattern)) {
                dialog.selectNameFilter(name);
                break;
            }
    }
    dialog.setOption(QFileDialog::DontUseNativeDialog, !native_);
    if (!lastFolder_.isEmpty())
        dialog.setDirectory(lastFolder_);
}

std::optional<std::string> QtFileDialogs::run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(chosen).absolutePath();
    const QByteArray local = QFile::encodeName(chosen);
    return std::string(local.constData(), size_t(local.size()));
}

std::optional<std::string> QtFileDialogs::getOpenFileName(std::string_view title, std::string_view filter,
                                                          std::string_view defaultExtension)
{
    QFileDialog dialog(parent_);
    setUp(dialog, title, filter, defaultExtension);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

std::optional<std::string> QtFileDialogs::getSaveFileName(std::string_view title, std::string_view filter,
                                                          std::string_view defaultExtension,
                                                          std::string_view initialName, bool confirmOverwrite)
{
    QFileDialog dialog(parent_);
    setUp(dialog, title, filter, defaultExtension);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    if (!initialName.empty()) {
        const QFileInfo initial(QFile::decodeName(QByteArray(initialName.data(), qsizetype(initialName.size()))));
        if (initial.isAbsolute())
            dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
    return run(dialog);
}

} // namespace qvt
