#pragma once

#include "core/file_dialogs.h"
#include "core/messages.h"
#include "project/project_file.h"
#include "core/project_state.h"
#include "compiler/compile_errors.h"
#include "shell/recent_projects.h"

#include <QMainWindow>

#include <string>

class QAction;
class QMdiArea;
class QMenu;
class QToolBar;

namespace qvt {

inline constexpr std::string_view kApplicationTitle = "Visual QVT Program Development";
inline constexpr std::string_view kMainWindowCaption = "Visual QVT Program Designer";

// The window title for the project as it stands: the plain caption with no
// project open, the 'noname' form for a project never saved, and the version
// and file name otherwise.
QString MainWindowTitle(const ProjectState& project);

// The designer's main window: the frame from which projects are created,
// opened, saved, closed, compiled and uploaded, and from which every other
// window opens modally. It works on the project, messages and file dialogs it
// is given; the recent-projects list is kept in `recentListFile` (in memory
// only when empty).
class TMainForm : public QMainWindow, public ProjectView {
    Q_OBJECT
public:
    TMainForm(ProjectState& project, Messages& messages, FileDialogs& dialogs, QString recentListFile = {},
              QWidget* parent = nullptr);

    // Opens a project file without the open dialog (a path from the command
    // line or the recent list). The save question comes first when asked for.
    void openProjectFile(const std::string& path, bool askToSave = true);

    const RecentProjects& recentProjects() const { return recent_; }
    QMdiArea* mdiArea() const { return mdiArea_; }

    // ProjectView
    void refreshTitle() override;
    void setProjectCommandsEnabled(bool enabled) override;

    // Command handlers.
    void aYeniExecute();
    void aYukleExecute();
    void aKaydetExecute();
    void aFarkliKaydetExecute();
    void aKapatExecute();
    void aDerleExecute();
    void aQVTYukleExecute();
    void aVariableExecute();
    void aOnlineExecute();
    void aOfflineExecute();
    void aOnTmrExecute();
    void aOffTmrExecute();
    void aEtiketExecute();
    void aSetOnTimerExecute();
    void aSetOffTimerExecute();
    void aSetVersionExecute();
    void aCikExecute();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool FormCloseQuery();

    QAction* makeAction(const char* name, const char* caption, const char* hint, int image);
    void buildMenusAndToolBar();
    void rebuildRecentMenu();
    void applyLoadResult(LoadResult result);
    void notAvailableYet(const char* command);
    // Shows the design window of `machine` modally, with the errors a compile
    // found in it.
    void openDesignWindow(MachineId machine, const ErrorList& errors = {});
    void rememberProjectFile();

    ProjectState& project_;
    Messages& messages_;
    ProjectSession session_;
    RecentProjects recent_;
    bool opening_ = false;

    QMdiArea* mdiArea_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QString uploaderSettingsFile_;  // beside the recent list; empty: not remembered

public:
    QAction* aYeni;
    QAction* aYukle;
    QAction* aKaydet;
    QAction* aFarkliKaydet;
    QAction* aKapat;
    QAction* aDerle;
    QAction* aQVTYukle;
    QAction* aVariable;
    QAction* aOnline;
    QAction* aOffline;
    QAction* aOnTmr;
    QAction* aOffTmr;
    QAction* aEtiket;
    QAction* aSetOnTimer;
    QAction* aSetOffTimer;
    QAction* aSetVersion;
    QAction* aCik;
};

} // namespace qvt
