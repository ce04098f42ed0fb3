#include "shell/main_form.h"

#include "shell/design_window.h"

#include "shell/command_images.h"
#include "shell/label_window.h"
#include "shell/uploader_window.h"
#include "shell/variable_list.h"
#include "project/compile_step.h"
#include "core/cp1254.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace qvt {

namespace {

QString localPath(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

std::string localBytes(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    return std::string(local.constData(), size_t(local.size()));
}

inline constexpr std::string_view kMsgFileNotFound = "The project file does not exist:\r\n";

} // namespace

QString MainWindowTitle(const ProjectState& project)
{
    const QString caption = fromCp1254(kMainWindowCaption);
    if (!project.projectFileName.empty())
        return caption + QLatin1String(" - Design Version ") + fromCp1254(project.versionText) + QLatin1String("  '")
               + localPath(project.projectFileName) + QLatin1Char('\'');
    if (project.isOpen())
        return caption + QLatin1String(" - 'noname'");
    return caption;
}

TMainForm::TMainForm(ProjectState& project, Messages& messages, FileDialogs& dialogs, QString recentListFile,
                     QWidget* parent)
    : QMainWindow(parent)
    , project_(project)
    , messages_(messages)
    , session_{project, messages, dialogs, *this}
    , recent_(recentListFile)
{
    setObjectName("TMainForm");
    if (!recentListFile.isEmpty())
        uploaderSettingsFile_ = QFileInfo(recentListFile).absolutePath() + QStringLiteral("/uploader.ini");

    aYeni = makeAction("aYeni", "New", "New Project", 3);
    aYukle = makeAction("aYukle", "Open", "Open project", 2);
    aKaydet = makeAction("aKaydet", "Save", "", 1);
    aFarkliKaydet = makeAction("aFarkliKaydet", "Save as..", "", -1);
    aKapat = makeAction("aKapat", "Close", "", -1);
    aDerle = makeAction("aDerle", "Compile", "Compile program", 4);
    aQVTYukle = makeAction("aQVTYukle", "Upload", "Upload to QVT", 6);
    aVariable = makeAction("aVariable", "Variables", "", 7);
    aOnline = makeAction("aOnline", "Online", "", 8);
    aOffline = makeAction("aOffline", "Offline", "", 9);
    aOnTmr = makeAction("aOnTmr", "On-Tmr", "", 8);
    aOffTmr = makeAction("aOffTmr", "Off-Tmr", "", 9);
    aEtiket = makeAction("aEtiket", "Label", "", 27);
    aSetOnTimer = makeAction("aSetOnTimer", "Set Online Timer", "", 37);
    aSetOffTimer = makeAction("aSetOffTimer", "Set Offline Timer", "", 37);
    aSetVersion = makeAction("aSetVersion", "Set Version", "", 10);
    aCik = makeAction("aCik", "Exit", "", 0);

    aYeni->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    aYukle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    aKaydet->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    aFarkliKaydet->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    aCik->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    aCik->setMenuRole(QAction::QuitRole);

    connect(aYeni, &QAction::triggered, this, &TMainForm::aYeniExecute);
    connect(aYukle, &QAction::triggered, this, &TMainForm::aYukleExecute);
    connect(aKaydet, &QAction::triggered, this, &TMainForm::aKaydetExecute);
    connect(aFarkliKaydet, &QAction::triggered, this, &TMainForm::aFarkliKaydetExecute);
    connect(aKapat, &QAction::triggered, this, &TMainForm::aKapatExecute);
    connect(aDerle, &QAction::triggered, this, &TMainForm::aDerleExecute);
    connect(aQVTYukle, &QAction::triggered, this, &TMainForm::aQVTYukleExecute);
    connect(aVariable, &QAction::triggered, this, &TMainForm::aVariableExecute);
    connect(aOnline, &QAction::triggered, this, &TMainForm::aOnlineExecute);
    connect(aOffline, &QAction::triggered, this, &TMainForm::aOfflineExecute);
    connect(aOnTmr, &QAction::triggered, this, &TMainForm::aOnTmrExecute);
    connect(aOffTmr, &QAction::triggered, this, &TMainForm::aOffTmrExecute);
    connect(aEtiket, &QAction::triggered, this, &TMainForm::aEtiketExecute);
    connect(aSetOnTimer, &QAction::triggered, this, &TMainForm::aSetOnTimerExecute);
    connect(aSetOffTimer, &QAction::triggered, this, &TMainForm::aSetOffTimerExecute);
    connect(aSetVersion, &QAction::triggered, this, &TMainForm::aSetVersionExecute);
    connect(aCik, &QAction::triggered, this, &TMainForm::aCikExecute);

    buildMenusAndToolBar();

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("ClientArea");
    // A texture brush tiles from the area's top left corner, one copy of the
    // picture after the other.
    mdiArea_->setBackground(QBrush(backgroundTile()));
    setCentralWidget(mdiArea_);
    statusBar();

    FormCreate();
}

QAction* TMainForm::makeAction(const char* name, const char* caption, const char* hint, int image)
{
    auto* action = new QAction(QString::fromLatin1(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    if (*hint) {
        action->setToolTip(QString::fromLatin1(hint));
        action->setStatusTip(QString::fromLatin1(hint));
    }
    if (image >= 0)
        action->setIcon(commandImage(image));
    return action;
}

void TMainForm::buildMenusAndToolBar()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("mnuFile");
    file->addActions({aYeni, aYukle});
    file->addSeparator();
    file->addActions({aKaydet, aFarkliKaydet});
    file->addSeparator();
    file->addAction(aKapat);
    file->addSeparator();
    file->addActions({aDerle, aQVTYukle});
    file->addSeparator();
    recentMenu_ = file->addMenu(tr("Recent Projects"));
    recentMenu_->setObjectName("mnuRecent");
    rebuildRecentMenu();

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("mnuEdit");
    edit->addAction(aVariable);
    edit->addSeparator();
    edit->addActions({aOnline, aOffline});
    edit->addSeparator();
    edit->addActions({aOnTmr, aOffTmr});
    edit->addSeparator();
    edit->addActions({aSetOnTimer, aSetOffTimer, aSetVersion});

    QMenu* program = menuBar()->addMenu(tr("&Program"));
    program->setObjectName("mnuProgram");
    program->addAction(aCik);

    QToolBar* tools = addToolBar(tr("Commands"));
    tools->setObjectName("ToolBar1");
    tools->setMovable(false);
    tools->setIconSize(QSize(24, 24));
    tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tools->addActions({aYeni, aYukle, aKaydet});
    tools->addSeparator();
    tools->addActions({aVariable, aOnline, aOffline, aOnTmr, aOffTmr, aEtiket});
    tools->addSeparator();
    tools->addAction(aQVTYukle);
    tools->addSeparator();
    tools->addAction(aCik);
    for (QAction* action : tools->actions())
        if (QWidget* button = tools->widgetForAction(action); button && !action->isSeparator())
            button->setMinimumSize(50, 44);
}

void TMainForm::rebuildRecentMenu()
{
    recentMenu_->clear();
    int number = 1;
    for (const std::string& path : recent_.paths()) {
        QString shown = localPath(path);
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* entry = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(number++).arg(shown));
        connect(entry, &QAction::triggered, this, [this, path] { openProjectFile(path); });
    }
    recentMenu_->setEnabled(!recent_.paths().empty());
}

void TMainForm::FormCreate()
{
    TMainForm::setProjectCommandsEnabled(false);
    project_.versionText = "V1";
    project_.onlineTimerInterval = 1000;
    project_.offlineTimerInterval = 1000;
}

void TMainForm::refreshTitle()
{
    setWindowTitle(MainWindowTitle(project_));
}

void TMainForm::setProjectCommandsEnabled(bool enabled)
{
    for (QAction* action : {aKaydet, aFarkliKaydet, aKapat, aDerle, aQVTYukle, aVariable, aOnline, aOffline, aOnTmr,
                            aOffTmr, aEtiket})
        action->setEnabled(enabled);
    refreshTitle();
    if (enabled && opening_)
        rememberProjectFile();
}

void TMainForm::rememberProjectFile()
{
    recent_.add(project_.projectFileName);
    rebuildRecentMenu();
}

bool TMainForm::FormCloseQuery()
{
    return ConfirmDiscardChanges(session_);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TMainForm::openProjectFile(const std::string& path, bool askToSave)
{
    if (askToSave && !ConfirmDiscardChanges(session_))
        return;
    const QFileInfo file(localPath(path));
    if (!file.exists()) {
        messages_.ShowError(std::string(kMsgFileNotFound) + path);
        recent_.remove(path);
        rebuildRecentMenu();
        return;
    }
    opening_ = true;
    applyLoadResult(LoadProjectFile(localBytes(file.absoluteFilePath()), project_, messages_));
    opening_ = false;
}

void TMainForm::applyLoadResult(LoadResult result)
{
    switch (result) {
    case LoadResult::Opened:
        setProjectCommandsEnabled(true);
        break;
    case LoadResult::FormatError:
        refreshTitle();
        break;
    case LoadResult::LoadError:
        setProjectCommandsEnabled(false);
        break;
    }
}

void TMainForm::aYeniExecute()
{
    if (!ConfirmDiscardChanges(session_))
        return;
    project_.newProject();
    setProjectCommandsEnabled(true);
}

void TMainForm::aYukleExecute()
{
    opening_ = true;
    OpenProject(session_);
    opening_ = false;
}

void TMainForm::aKaydetExecute()
{
    if (SaveProject(session_, false))
        rememberProjectFile();
}

void TMainForm::aFarkliKaydetExecute()
{
    if (SaveProject(session_, true))
        rememberProjectFile();
}

void TMainForm::aKapatExecute()
{
    if (!ConfirmDiscardChanges(session_))
        return;
    project_.closeProject();
    setProjectCommandsEnabled(false);
}

void TMainForm::notAvailableYet(const char* command)
{
    messages_.ShowInfo("Info", std::string(command) + " is not available yet.");
}

void TMainForm::openDesignWindow(MachineId machine, const ErrorList& errors)
{
    if (!project_.isOpen())
        return;
    std::unique_ptr<TFTasarim> window = TFTasarim::Create(project_, machine, messages_, session_.dialogs, errors, this);
    if (!window)
        return;
    window->exec();
    // The machine's text may have been saved into the project.
    refreshTitle();
}

void TMainForm::aDerleExecute()
{
    // The first machine with errors opens in its design window, which lists them.
    const auto showErrors = [this](MachineId machine, const ErrorList& errors) { openDesignWindow(machine, errors); };
    if (CompileStep(session_, showErrors))
        messages_.ShowInfo("Info", "Compiled.");
}

void TMainForm::aQVTYukleExecute()
{
    // The same compile as Compile; the uploader sends what it wrote.
    const auto showErrors = [this](MachineId machine, const ErrorList& errors) { openDesignWindow(machine, errors); };
    if (!CompileStep(session_, showErrors))
        return;
    const std::string fileName = project_.projectFileName.empty() ? "noname.itf" : project_.projectFileName;
    ShowUploader(fileName, messages_, uploaderSettingsFile_, this);
}

void TMainForm::aVariableExecute()
{
    ShowVariableList(project_, messages_, this);
}

void TMainForm::aOnlineExecute()
{
    openDesignWindow(MachineId::Online);
}

void TMainForm::aOfflineExecute()
{
    openDesignWindow(MachineId::Offline);
}

void TMainForm::aOnTmrExecute()
{
    openDesignWindow(MachineId::OnlineTimer);
}

void TMainForm::aOffTmrExecute()
{
    openDesignWindow(MachineId::OfflineTimer);
}

void TMainForm::aEtiketExecute()
{
    ShowLabelWindow(project_, messages_, session_.dialogs, this);
}

void TMainForm::aSetOnTimerExecute()
{
    int interval = project_.onlineTimerInterval;
    if (messages_.AskInteger(interval, "Online Timer Interval"))
        project_.onlineTimerInterval = interval;
}

void TMainForm::aSetOffTimerExecute()
{
    int interval = project_.offlineTimerInterval;
    if (messages_.AskInteger(interval, "Offline Timer Interval"))
        project_.offlineTimerInterval = interval;
}

void TMainForm::aSetVersionExecute()
{
    // The title shows the version, so it changes with it at once.
    std::string version = project_.versionText;
    if (messages_.AskText(version, "Version")) {
        project_.versionText = version;
        refreshTitle();
    }
}

void TMainForm::aCikExecute()
{
    close();
}

} // namespace qvt
