#include "shell/qt_file_dialogs.h"

#include "modal_driver.h"
#include "test_files.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

TEST(FileDialogFilter, TranslatesPairsIntoQtFilters)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Visual QVT Design File|*.zmk|All Files|*.*", "Visual QVT Design File (*.zmk);;All Files (*)"},
        {"Design Files|*.zmkexp;*.zmk", "Design Files (*.zmkexp *.zmk)"},
        {"Label|*.ini", "Label (*.ini)"},
        {"", ""},
        {"Dangling description", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toQtFilter(c.in).toStdString(), c.out) << c.in;
}

namespace {

constexpr std::string_view kFilter = "Visual QVT Design File|*.zmk|All Files|*.*";

class QtFileDialogsTest : public ::testing::Test {
protected:
    TempDir dir;
    QtFileDialogs dialogs{nullptr, false};
    QString title;
    QStringList filters;

    // Picks `name` in the next file dialog, as if typed, and presses its
    // accept button; `then` runs on the next modal window if one follows.
    void choose(const QString& name, std::function<void(QWidget*)> then = {})
    {
        onNextModal([this, name, then](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            dialog->setDirectory(QString::fromStdString(dir.path("")));
            dialog->selectFile(name);
            if (then)
                onNextModal(then, dialog);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
    }
};

} // namespace

TEST_F(QtFileDialogsTest, SaveAppendsTheDefaultExtensionOnlyWhenNoneWasTyped)
{
    struct Case {
        const char* typed;
        const char* saved;
    };
    for (const Case& c : {Case{"plan", "plan.zmk"}, Case{"plan.txt", "plan.txt"}, Case{"plan.zmk", "plan.zmk"}}) {
        choose(c.typed);
        auto path = dialogs.getSaveFileName("Design FileName", kFilter, "zmk", "", false);
        ASSERT_TRUE(path.has_value()) << c.typed;
        EXPECT_EQ(*path, dir.path(c.saved));
    }
    EXPECT_EQ(title, "Design FileName");
    EXPECT_EQ(filters, (QStringList{"Visual QVT Design File (*.zmk)", "All Files (*)"}));
}

TEST_F(QtFileDialogsTest, OverwriteQuestionOnlyWhenAskedFor)
{
    writeFile(dir.path("old.zmk"), "old");

    // Without the question the existing file is simply chosen.
    choose("old");
    EXPECT_EQ(dialogs.getSaveFileName("Design FileName", kFilter, "zmk", "", false), dir.path("old.zmk"));

    // With it, the file comes back only once the user agreed to replace it.
    bool asked = false;
    choose("old", [&](QWidget* question) {
        auto* box = qobject_cast<QMessageBox*>(question);
        ASSERT_NE(box, nullptr);
        asked = true;
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.getSaveFileName("Design FileName", kFilter, "zmk", "", true), dir.path("old.zmk"));
    EXPECT_TRUE(asked);
}

TEST_F(QtFileDialogsTest, SaveStartsFromTheCurrentFileName)
{
    const std::string current = dir.path("current.zmk");
    QString shownFolder, shownName;
    onNextModal([&](QWidget* window) {
        auto* dialog = static_cast<QFileDialog*>(window);
        shownFolder = dialog->directory().absolutePath();
        const QStringList selected = dialog->selectedFiles();
        shownName = selected.isEmpty() ? QString() : selected.first();
        dialog->reject();
    });
    EXPECT_EQ(dialogs.getSaveFileName("Design FileName", kFilter, "zmk", current, true), std::nullopt);
    EXPECT_EQ(shownFolder.toStdString() + "/", dir.path(""));
    EXPECT_EQ(shownName.toStdString(), current);
}

TEST_F(QtFileDialogsTest, OpenReturnsAnExistingFileAndCancelReturnsNothing)
{
    writeFile(dir.path("there.zmk"), "V101\r\n");
    choose("there.zmk");
    EXPECT_EQ(dialogs.getOpenFileName("Select the design file...", kFilter, "zmk"), dir.path("there.zmk"));
    EXPECT_EQ(title, "Select the design file...");

    onNextModal([](QWidget* window) { static_cast<QDialog*>(window)->reject(); });
    EXPECT_EQ(dialogs.getOpenFileName("Select the design file...", kFilter, "zmk"), std::nullopt);
}

TEST_F(QtFileDialogsTest, TheDefaultExtensionsFilterIsChosen)
{
    const char* filter = "Visual QVT Design File|*.zmk|Visual QVT Design Export file|*.zmkexp|All Files|*.*";
    for (const char* extension : {"zmkexp", "zmk"}) {
        QString chosen;
        onNextModal([&](QWidget* window) {
            auto* dialog = static_cast<QFileDialog*>(window);
            chosen = dialog->selectedNameFilter();
            dialog->reject();
        });
        EXPECT_EQ(dialogs.getOpenFileName("Select the design file...", filter, extension), std::nullopt);
        EXPECT_TRUE(chosen.endsWith(QStringLiteral("(*.") + extension + ")")) << chosen.toStdString();
    }
}

TEST_F(QtFileDialogsTest, OpenRefusesAFileThatDoesNotExist)
{
    // The dialog says the file is missing and stays open for another choice.
    bool warned = false, stayedOpen = false;
    choose("missing.zmk", [&](QWidget* warning) {
        auto* box = qobject_cast<QMessageBox*>(warning);
        ASSERT_NE(box, nullptr);
        warned = true;
        QWidget* fileDialog = box->parentWidget();
        box->accept();
        QTimer::singleShot(50, fileDialog, [&, fileDialog] {
            stayedOpen = fileDialog->isVisible();
            static_cast<QDialog*>(fileDialog)->reject();
        });
    });
    EXPECT_EQ(dialogs.getOpenFileName("Select the design file...", kFilter, "zmk"), std::nullopt);
    EXPECT_TRUE(warned);
    EXPECT_TRUE(stayedOpen);
}
