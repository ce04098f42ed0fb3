#include "core/cp1254.h"
#include "shell/main_form.h"
#include "core/project_state.h"
#include "shell/qt_file_dialogs.h"
#include "shell/qt_messages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// An error that no command handles is shown in a plain box under the
// application's title; the command that raised it is abandoned and the
// program goes on.
class DesignerApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(activeWindow(), qvt::fromCp1254(qvt::kApplicationTitle),
                                  QString::fromLocal8Bit(error.what()));
        } catch (...) {
            QMessageBox::critical(activeWindow(), qvt::fromCp1254(qvt::kApplicationTitle), tr("Unexpected error."));
        }
        return false;
    }
};

// Without a usable display (none set, or one that does not answer) Qt stops
// the program with several lines about platform plug-ins. While the
// application starts, those are held back: a stop is reported in one line and
// ends the program with 1; otherwise they are passed on once it has started.
QtMessageHandler passOn = nullptr;
QList<QPair<QtMsgType, QString>> heldBack;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        const QString reason = heldBack.isEmpty() ? message : heldBack.constFirst().second;
        std::fprintf(stderr, "qvt-designer: no display to show the designer on (%s)\n",
                     qPrintable(reason.section(QLatin1Char('\n'), 0, 0)));
        std::_Exit(1);
    }
    if (context.category && QByteArrayView(context.category).startsWith("qt.qpa")) {
        heldBack.append({type, message});
        return;
    }
    if (passOn)
        passOn(type, context, message);
}

void startupDone()
{
    qInstallMessageHandler(passOn);
    for (const auto& [type, message] : std::as_const(heldBack))
        if (passOn)
            passOn(type, QMessageLogContext(), message);
    heldBack.clear();
}

} // namespace

int main(int argc, char** argv)
{
    passOn = qInstallMessageHandler(startupMessages);
    DesignerApplication app(argc, argv);
    startupDone();
    QCoreApplication::setOrganizationName(QStringLiteral("qvt"));
    QCoreApplication::setApplicationName(QStringLiteral("qvt-designer"));

    QCommandLineParser parser;
    parser.setApplicationDescription(qvt::fromCp1254(qvt::kApplicationTitle));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("Project file (.zmk) to open."),
                                 QStringLiteral("[project]"));
    // Saves a picture of the main window and quits; used for the README.
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Save a picture of the window."),
                                  QStringLiteral("file"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    parser.process(app);

    qvt::ProjectState project;
    qvt::QtMessages messages(project);
    qvt::QtFileDialogs dialogs;
    const QString configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(configFolder);
    qvt::TMainForm window(project, messages, dialogs, configFolder + QStringLiteral("/recent-projects.ini"));
    messages.setParentWindow(&window);
    dialogs.setParentWindow(&window);

    const QStringList arguments = parser.positionalArguments();
    const QString shotFile = parser.value(screenshot);
    if (shotFile.isEmpty()) {
        window.showMaximized();
    } else {
        window.setGeometry(0, 0, 1024, 640);
        window.show();
    }

    // Opened once the window is up, so that a message about the file shows over it.
    if (!arguments.isEmpty()) {
        const QByteArray path = QFile::encodeName(arguments.constFirst());
        QTimer::singleShot(0, &window, [&window, path] {
            window.openProjectFile(std::string(path.constData(), size_t(path.size())), false);
        });
    }
    if (!shotFile.isEmpty()) {
        // With the Edit menu dropped down; the screen is grabbed so the menu shows too.
        QTimer::singleShot(300, &window, [&window] {
            if (auto* edit = window.findChild<QMenu*>(QStringLiteral("mnuEdit")))
                window.menuBar()->setActiveAction(edit->menuAction());
        });
        QTimer::singleShot(800, &window, [&window, shotFile] {
            const QRect frame = window.frameGeometry();
            const QPixmap shot = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
            if (!shot.save(shotFile))
                std::fprintf(stderr, "qvt-designer: could not write %s\n", qPrintable(shotFile));
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
