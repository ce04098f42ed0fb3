#include "shell/label_window.h"

#include "core/cp1254.h"
#include "label/label_compiler.h"
#include "label/label_design_file.h"
#include "label/label_text.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

class RecordingPrinter : public PrinterOutput {
public:
    std::vector<std::pair<std::string, std::string>> sent;  // target, stream
    std::string failure;  // what Send reports when not empty

    bool Send(std::string_view target, std::string_view stream, std::string& detail) override
    {
        if (!failure.empty()) {
            detail = failure;
            return false;
        }
        sent.emplace_back(std::string(target), std::string(stream));
        return true;
    }
};

constexpr double kScreen96 = 96.0 / 25.4;

class LabelWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    ProjectState project;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    RecordingPrinter printer;
    std::unique_ptr<TFEtiketDuzenle> window;

    void SetUp() override
    {
        project.newProject();
        project.defaultFolder = dir.path("labels");
    }
    void TearDown() override
    {
        if (window && window->isVisible()) {
            // Leave without questions.
            window->document().Reset(LabelDesign());
            window->LoadLabel(project.labelText);
            window->close();
        }
    }

    void open(const std::string& labelText)
    {
        project.labelText = labelText;
        PrinterPortMap ports;
        ports.lpt1 = "/dev/test-lpt";
        ports.com1 = "cups:test-queue";
        window = std::make_unique<TFEtiketDuzenle>(project, messages, dialogs, printer, ports, nullptr, kScreen96);
        window->LoadLabel(labelText);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    const LabelDesign& design() { return window->document().design(); }
    const Tbase& element(int i) { return *design().Elements.at(size_t(i)); }
    std::array<int, 4> box(int i) { return {element(i).X, element(i).Y, element(i).X1, element(i).Y1}; }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        QWidget* surface = window->surface();
        QMouseEvent event(type, at, surface->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    }
    void click(QAction* tool, int x, int y)
    {
        tool->trigger();
        mouse(QEvent::MouseButtonPress, {x, y}, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, {x, y}, Qt::NoButton);
    }
    void drag(QPoint from, QPoint to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window->surface()->setFocus();
        QTest::keyClick(window->surface(), Qt::Key(key), modifiers);
    }
    std::string put(const std::string& name, const LabelDesign& d)
    {
        const std::string path = dir.path(name);
        EXPECT_TRUE(ExportDesign(d, path, project.variables, messages));
        return path;
    }
};

LabelDesign lines(int count)
{
    LabelDesign d;
    for (int i = 0; i < count; ++i)
        addElement(d, ElementKind::Line, 5 + i % 50, 20 + i, 15 + i % 50, 18 + i);
    return d;
}

} // namespace

TEST_F(LabelWindowTest, OpensOnAnEmptyLabel)
{
    open("");
    EXPECT_EQ(window->windowTitle(), "Label Desing");
    EXPECT_TRUE(QDir(QString::fromStdString(project.defaultFolder)).exists());
    // "Et40x20" "Horizontal": 20 mm wide and 40 mm high on the screen.
    EXPECT_EQ(window->surface()->size(), QSize(76, 151));
    EXPECT_EQ(window->LEn->text(), "40");
    EXPECT_EQ(window->LBoy->text(), "20");
    EXPECT_EQ(window->LEn->height(), 151);
    EXPECT_EQ(window->eEtiketTipi->currentText(), "Et40x20");
    EXPECT_EQ(window->eEtiketTipi->count(), 12);
    EXPECT_EQ(window->eYon->currentText(), "Horizontal");
    EXPECT_EQ(window->eBarkodTipi->currentText(), "ITF25");
    EXPECT_EQ(window->eAlan->count(), 100);
    EXPECT_EQ(window->eAlan->itemText(0), "str01 | str01");
    EXPECT_TRUE(window->aSec->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{window->eX, window->eY, window->eX1, window->eY1, window->eFont,
                                                      window->eAlan, window->eYazi})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    // Nothing to save, nothing asked.
    EXPECT_FALSE(window->HasUnsavedChanges());
    window->aCik->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LabelWindowTest, VerticalSurfaceLimitsTheCoordinates)
{
    open("");
    window->eEtiketTipi->setCurrentText("Et30x60");
    window->eYon->setCurrentText("Vertical");
    EXPECT_EQ(window->surface()->size(), QSize(113, 227));
    EXPECT_EQ(window->LEn->text(), "60");
    EXPECT_EQ(window->LBoy->text(), "30");
    EXPECT_EQ(window->eX->maximum(), 113);
    EXPECT_EQ(window->eY->maximum(), 227);

    // A coordinate typed beyond the surface is refused at the digit that
    // passes its edge; one set beyond it stops at the edge.
    click(window->aYatay, 20, 30);
    window->eX->setFocus();
    window->eX->selectAll();
    QTest::keyClicks(window->eX, "500");
    EXPECT_EQ(window->eX->value(), 50);
    EXPECT_EQ(box(0), (std::array<int, 4>{50, 30, 60, 20}));
    window->eX->setValue(500);
    EXPECT_EQ(box(0), (std::array<int, 4>{113, 30, 123, 20}));
    // Negative sizes cannot be typed either.
    window->eX1->setValue(-5);
    EXPECT_EQ(box(0), (std::array<int, 4>{113, 30, 113, 20}));
}

TEST_F(LabelWindowTest, PlacingElementsAndTheirPanels)
{
    open("");
    click(window->aYatay, 60, 30);
    EXPECT_EQ(box(0), (std::array<int, 4>{60, 30, 70, 20}));
    EXPECT_TRUE(window->aSec->isChecked());
    EXPECT_EQ(window->document().selectedIndex(), 0);
    // The line's panel.
    EXPECT_EQ(window->lx->text(), "Left");
    EXPECT_EQ(window->ly->text(), "Top");
    EXPECT_EQ(window->lx1->text(), "Length");
    EXPECT_EQ(window->ly1->text(), "Heigth");
    EXPECT_EQ(window->eX1->value(), 10);
    EXPECT_EQ(window->eY1->value(), 10);
    EXPECT_TRUE(window->eX1->isVisible());
    EXPECT_FALSE(window->eFont->isVisible());

    // A field of the chosen variable in the chosen font; its panel at once.
    window->aAlan->trigger();
    window->eAlan->setCurrentIndex(31);  // int02
    window->eFont->setCurrentText("5");
    click(window->aAlan, 10, 120);
    ASSERT_EQ(design().Elements.size(), 2u);
    EXPECT_EQ(element(1).kind(), ElementKind::Field);
    EXPECT_EQ(lettered(element(1))->Text, "int02");
    EXPECT_EQ(lettered(element(1))->FontNo, 5);
    EXPECT_EQ(window->lx->text(), "X");
    EXPECT_TRUE(window->eAlan->isVisible());
    EXPECT_FALSE(window->eX1->isVisible());
    EXPECT_FALSE(window->eY1->isVisible());

    // A text with an empty editor prints "Talvek".
    window->aYazi->trigger();
    window->eYazi->clear();
    click(window->aYazi, 10, 140);
    EXPECT_EQ(lettered(element(2))->Text, "Talvek");
    EXPECT_TRUE(window->eYazi->isVisible());

    // A barcode: Height of the bars, Variable and Font.
    click(window->aBarkod, 10, 100);
    EXPECT_EQ(element(3).kind(), ElementKind::Barcode);
    EXPECT_EQ(window->ly1->text(), "Heigth");
    EXPECT_EQ(window->eY1->value(), 40);
    EXPECT_TRUE(window->eY1->isVisible());
    EXPECT_FALSE(window->eX1->isVisible());

    // The panel follows every selection, not only drags.
    click(window->aSec, 65, 25);
    EXPECT_EQ(window->lx->text(), "Left");
    EXPECT_TRUE(window->eX1->isVisible());
}

TEST_F(LabelWindowTest, VariableSlotsAndElementLimits)
{
    open("");
    for (int i = 0; i < 14; ++i)
        click(window->aBarkod, 10, 100);
    click(window->aAlan, 10, 30);  // 29 slots
    click(window->aBarkod, 10, 100);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Maximum 30 Variable"});
    EXPECT_TRUE(window->aSec->isChecked());
    click(window->aAlan, 10, 30);  // 30 slots
    click(window->aAlan, 10, 30);
    EXPECT_EQ(messages.errors().size(), 2u);
    EXPECT_EQ(design().VariableSlots(), 30);

    window->document().Reset(lines(100));
    click(window->aYatay, 5, 5);
    EXPECT_EQ(messages.errors().back(), "Unexpected matrix error");
    EXPECT_EQ(design().Elements.size(), 100u);
}

TEST_F(LabelWindowTest, OverlapsDraggingAndUndoKeys)
{
    open("");
    click(window->aYatay, 50, 50);
    click(window->aYatay, 55, 45);
    click(window->aSec, 57, 43);
    EXPECT_EQ(window->document().selectedIndex(), 1);

    drag({57, 43}, {67, 63});
    EXPECT_EQ(box(1), (std::array<int, 4>{65, 65, 75, 55}));
    EXPECT_EQ(window->eX->value(), 65);

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box(1), (std::array<int, 4>{55, 45, 65, 35}));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(design().Elements.size(), 1u);
    key(Qt::Key_Y, Qt::ControlModifier);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(box(1), (std::array<int, 4>{65, 65, 75, 55}));

    // A click on empty surface deselects; the next drag moves nothing.
    click(window->aSec, 70, 140);
    EXPECT_EQ(window->document().selectedIndex(), -1);
    drag({70, 140}, {20, 20});
    EXPECT_EQ(box(0), (std::array<int, 4>{50, 50, 60, 40}));
    EXPECT_EQ(box(1), (std::array<int, 4>{65, 65, 75, 55}));
}

TEST_F(LabelWindowTest, LineEditorsMoveOrResize)
{
    open("");
    click(window->aYatay, 50, 50);
    window->eX->setFocus();
    window->eX->setValue(20);
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 30, 40}));
    window->eX1->setFocus();
    window->eX1->setValue(40);
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 60, 40}));
    window->eY1->setValue(3);
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 60, 47}));
    // Several steps in one editor undo together.
    window->eX->setValue(21);
    window->eX->setValue(22);
    window->aUndo->trigger();
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 60, 47}));
}

TEST_F(LabelWindowTest, DeleteAndClearAsk)
{
    open("");
    // Nothing selected: nothing asked, nothing removed.
    click(window->aYatay, 50, 50);
    click(window->aSec, 5, 140);
    window->aSil->trigger();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(design().Elements.size(), 1u);

    click(window->aSec, 51, 49);
    messages.answers = {AnswerNo, AnswerYes};
    window->aSil->trigger();
    EXPECT_EQ(design().Elements.size(), 1u);
    window->aSil->trigger();
    EXPECT_TRUE(design().Elements.empty());
    EXPECT_EQ(window->document().currentIndex(), 0);
    EXPECT_EQ(window->document().selectedIndex(), -1);
    EXPECT_EQ(messages.shown.back().title, "Warning");
    EXPECT_EQ(messages.shown.back().message, "Delete the item?");

    // Clear on an empty design asks nothing.
    const size_t asked = messages.shown.size();
    window->aTemizle->trigger();
    EXPECT_EQ(messages.shown.size(), asked);

    click(window->aYatay, 50, 50);
    click(window->aBarkod, 10, 100);
    messages.answers = {AnswerNo, AnswerYes};
    window->aTemizle->trigger();
    EXPECT_EQ(design().Elements.size(), 2u);
    window->aTemizle->trigger();
    EXPECT_TRUE(design().Elements.empty());
    EXPECT_EQ(messages.shown.back().message, "Delete the all item?");
    window->aUndo->trigger();
    EXPECT_EQ(design().Elements.size(), 2u);
}

TEST_F(LabelWindowTest, CompileTakesTheSavedLabelSaveTheDrawing)
{
    LabelDesign first;
    addElement(first, ElementKind::Text, 10, 30, 40, 20, "OLD", 3);
    const std::string firstText = BuildLabelText(first, project.variables);
    open(firstText);
    click(window->aYatay, 50, 50);

    // Compile without Save compiles the label text as last saved.
    window->aCompile->trigger();
    std::string expected;
    ASSERT_TRUE(CompileLabel(firstText, project.variables, LabelMode::Image, expected));
    EXPECT_EQ(project.labelData, expected);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "info");
    EXPECT_EQ(messages.shown[0].title, "Compiled...");
    EXPECT_EQ(messages.shown[0].message, "Label Data Completed...");

    // Save stores the drawing and compiles it, without a message.
    window->aSakla->trigger();
    EXPECT_EQ(project.labelText, window->document().LabelText());
    EXPECT_EQ(window->savedLabelText(), project.labelText);
    ASSERT_TRUE(CompileLabel(project.labelText, project.variables, LabelMode::Image, expected));
    EXPECT_EQ(project.labelData, expected);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(window->HasUnsavedChanges());
    EXPECT_FALSE(project.modified);

    // A label too large for the terminal: saved all the same, data emptied.
    LabelDesign large;
    for (int i = 0; i < 100; ++i)
        addElement(large, ElementKind::Text, 5, 20 + i, 40, 10 + i, std::string(60, 'W'), 3);
    window->document().Reset(large);
    window->aSakla->trigger();
    EXPECT_EQ(messages.errors().back(), "Not Compiled..!\rFile Size max: 5 Kbyte");
    EXPECT_TRUE(project.labelData.empty());
    EXPECT_EQ(project.labelText, window->document().LabelText());
}

TEST_F(LabelWindowTest, ImportReplacesTheDrawingAndExportRewritesTheFile)
{
    LabelDesign imported;
    imported.LabelType = "Et60x60";
    addElement(imported, ElementKind::Text, 10, 30, 40, 20, "IMPORTED", 4);
    addElement(imported, ElementKind::Barcode, 10, 120, 40, 60, "int03", 3);
    const std::string file = put("imported.ini", imported);

    open("");
    click(window->aYatay, 50, 50);
    window->aSakla->trigger();
    dialogs.paths = {file};
    window->aImport->trigger();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_FALSE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].title, "Select the design file...");
    EXPECT_EQ(dialogs.requests[0].filter, "Label Design File|*.ini|All Files|*.*");
    EXPECT_EQ(dialogs.requests[0].defaultExtension, "ini");
    ASSERT_EQ(design().Elements.size(), 2u);
    EXPECT_EQ(lettered(element(0))->Text, "IMPORTED");
    EXPECT_EQ(window->eEtiketTipi->currentText(), "Et60x60");
    EXPECT_EQ(window->surface()->size(), QSize(227, 227));
    EXPECT_EQ(window->windowTitle().toStdString(), "Label Desing [" + file + "]");
    EXPECT_EQ(window->currentDesignFile(), file);

    // Export into the file just imported rewrites it with the drawing.
    click(window->aYatay, 100, 150);
    messages.answers = {AnswerNo};
    dialogs.paths = {file};
    window->aExport->trigger();
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_TRUE(dialogs.requests[1].save);
    EXPECT_EQ(dialogs.requests[1].title, "Design FileName");
    EXPECT_EQ(dialogs.requests[1].initialName, "");
    LabelDesign reread;
    ASSERT_TRUE(ImportDesign(reread, file, project.variables, messages));
    ASSERT_EQ(reread.Elements.size(), 3u);
    EXPECT_EQ(reread.Elements[2]->kind(), ElementKind::Line);

    // A file cut short replaces the drawing with what it holds, with the
    // message, and the whole import undoes in one step.
    const std::string cut = dir.path("cut.ini");
    writeFile(cut, readFile(file).substr(0, readFile(file).find("[1]")));
    messages.answers = {AnswerNo};
    dialogs.paths = {cut};
    window->aImport->trigger();
    EXPECT_EQ(messages.errors().back(), "Label File open error.");
    ASSERT_EQ(design().Elements.size(), 1u);
    EXPECT_EQ(lettered(element(0))->Text, "IMPORTED");
    window->aUndo->trigger();
    EXPECT_EQ(design().Elements.size(), 3u);
}

TEST_F(LabelWindowTest, UnsavedChangesAreAskedAbout)
{
    open("");
    click(window->aYatay, 50, 50);
    ASSERT_TRUE(window->HasUnsavedChanges());

    // Exit: No keeps the window open.
    messages.answers = {AnswerNo};
    window->aCik->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(messages.shown.back().message, "Are you sure to exit without saving change ?");

    // Import with no current design file: Yes asks where to save first.
    const std::string saved = dir.path("saved.ini");
    const std::string other = put("other.ini", lines(3));
    messages.answers = {AnswerYes};
    dialogs.paths = {saved, other};
    window->aImport->trigger();
    EXPECT_EQ(messages.shown.back().message, "Would you like to save changes?");
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_FALSE(dialogs.requests[1].save);
    LabelDesign kept;
    ASSERT_TRUE(ImportDesign(kept, saved, project.variables, messages));
    EXPECT_EQ(kept.Elements.size(), 1u);
    EXPECT_EQ(design().Elements.size(), 3u);

    // Export with a current design file: Yes writes it, then the dialog.
    const std::string exported = dir.path("exported.ini");
    messages.answers = {AnswerYes};
    dialogs.paths = {exported};
    window->aExport->trigger();
    EXPECT_EQ(messages.shown.back().message, "Do you want to save change to current file?");
    LabelDesign rewritten;
    ASSERT_TRUE(ImportDesign(rewritten, other, project.variables, messages));
    EXPECT_EQ(rewritten.Elements.size(), 3u);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(exported)));

    // Once saved, nothing is asked; Escape closes like Exit.
    window->aSakla->trigger();
    const size_t asked = messages.shown.size();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(messages.shown.size(), asked);
}

TEST_F(LabelWindowTest, TextsKeepLineBreaksAndEveryByte)
{
    open("");
    click(window->aYazi, 10, 40);
    window->eYazi->setFocus();
    window->eYazi->setText("A\r\nB");
    window->aSakla->trigger();
    EXPECT_EQ(project.labelText.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(lettered(element(0))->Text, "A\r\nB");

    // Reopened, the text comes back with its line break.
    open(project.labelText);
    EXPECT_EQ(lettered(element(0))->Text, "A\r\nB");

    // Every byte: nothing breaks; only the three bytes that stand for line
    // breaks and backslashes in a stored text read back as those.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    LabelDesign d;
    addElement(d, ElementKind::Text, 10, 40, 60, 30, all, 3);
    open(BuildLabelText(d, project.variables));
    click(window->aSec, 11, 39);
    EXPECT_EQ(window->eYazi->text(), fromCp1254(lettered(element(0))->Text));
    window->aSakla->trigger();
    std::string back = lettered(element(0))->Text;
    EXPECT_EQ(back.size(), all.size());
    EXPECT_EQ(project.labelText.find_first_of("\r\n"), std::string::npos);
    EXPECT_FALSE(window->previewPicture().Primitives().empty());
}

TEST_F(LabelWindowTest, TestPrintSendsTheDrawing)
{
    open("");
    EXPECT_TRUE(window->bYazdir->isEnabled());
    project.variables[kFirstInteger].initialValue = "77";
    click(window->aAlan, 10, 40);
    window->eAlan->setCurrentIndex(30);  // int01
    window->bYazdir->click();
    ASSERT_EQ(printer.sent.size(), 1u);
    EXPECT_EQ(printer.sent[0].first, "/dev/test-lpt");
    std::string stream;
    ASSERT_TRUE(CompileLabel(window->document().LabelText(), project.variables, LabelMode::Print, stream));
    EXPECT_EQ(printer.sent[0].second, stream);
    EXPECT_NE(stream.find("77\r"), std::string::npos);

    window->prCom1->setChecked(true);
    printer.failure = "lp: no such queue";
    window->bYazdir->click();
    EXPECT_EQ(messages.errors().back(), "COM1: portuna eri\xFEimde hata olu\xFEtu.\rlp: no such queue");

    // A drawing that does not compile cannot be printed.
    open("#1#cnt=1\\#DegiskenCnt=1\\#EtiketTipi=Et40x20\\#EtiketYon=Horizontal\\#BarkodTipi=ITF25\\"
         "#width=76\\#height=151\\#Tip=Alan\\#alan=str01\\#font=999\\#x=5\\#y=30\\#x1=20\\#y1=20\\#2");
    EXPECT_FALSE(window->bYazdir->isEnabled());
    EXPECT_EQ(window->previewPicture().width, 0);
}

TEST_F(LabelWindowTest, PreviewFollowsEachEdit)
{
    // The preview is drawn at the screen's resolution: 96 dots per inch here.
    open("");
    EXPECT_EQ(window->previewPicture().width, 134);
    EXPECT_EQ(window->previewPicture().height, 67);
    EXPECT_TRUE(window->previewPicture().Primitives().empty());
    EXPECT_EQ(window->preview()->size(), QSize(134, 67));

    const auto printed = [&]() -> const Primitive* {
        for (const Primitive& p : window->previewPicture().Primitives())
            if (p.kind == Primitive::Kind::Text && window->previewPicture().TextOf(p) == "Talvek")
                return &p;
        return nullptr;
    };
    click(window->aYazi, 10, 60);
    const Primitive* text = printed();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text.rotation, 90);
    const PixelPoint before = text->at;

    drag({11, 59}, {21, 79});
    text = printed();
    ASSERT_NE(text, nullptr);
    // Down the design is left on the horizontal label's print, right is down.
    EXPECT_LT(text->at.x, before.x);
    EXPECT_GT(text->at.y, before.y);

    window->eYon->setCurrentText("Vertical");
    text = printed();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text.rotation, 0);
}
