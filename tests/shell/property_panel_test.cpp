#include "shell/property_panel.h"

#include "core/cp1254.h"
#include "editor/machine_document.h"
#include "editor/machine_picture.h"
#include "editor/property_rows.h"
#include "model/item_kinds.h"
#include "shell/design_canvas.h"
#include "shell/design_window.h"
#include "shell/screen_editor.h"

#include "scripted_messages.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QAbstractItemView>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <functional>

using namespace qvt;
using namespace qvt::test;

namespace {

using enum PanelRow;

const char kStoredMarker = '\xB2';
const QChar kShownMarker(0xB9);

class PropertyPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        project.newProject();
        document = MachineDocument::Open(project, MachineId::Online, messages, nullptr);
        ASSERT_TRUE(document);
        panel = std::make_unique<PropertyPanel>(*document, messages);
        panel->resize(228, 760);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }

    // Places an item in the next free cell and shows it in the panel.
    std::int32_t Place(std::int32_t kind)
    {
        const int row = nextCell_ / 8;
        const int column = nextCell_ % 8;
        ++nextCell_;
        EXPECT_TRUE(document->PlaceItem(kind, row, column));
        const std::int32_t id = document->items().IdAt(row, column);
        panel->ShowItem(id);
        return id;
    }
    TitcItem& Item(std::int32_t id) { return *document->items().ItemById(id); }
    template <typename T>
    T& ItemAs(std::int32_t id)
    {
        return dynamic_cast<T&>(Item(id));
    }

    bool Shows(PanelRow row) const { return panel->rowWidget(row)->isVisibleTo(panel.get()); }
    std::vector<PanelRow> ShownRows() const
    {
        std::vector<PanelRow> rows;
        for (int r = static_cast<int>(StateNumber); r <= static_cast<int>(PanelRow::Screen); ++r)
            if (Shows(static_cast<PanelRow>(r)))
                rows.push_back(static_cast<PanelRow>(r));
        return rows;
    }

    // Types into a box as the user does: the box's text is selected, so the
    // first key replaces it.
    static void Type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        Keys(box, text);
    }
    // Picks the entry `text` of a list box from its drop-down list.
    static void Pick(QComboBox* box, const QString& text)
    {
        const int target = box->findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        box->showPopup();
        QAbstractItemView* view = box->view();
        ASSERT_TRUE(view->isVisible());
        view->setCurrentIndex(view->model()->index(target, box->modelColumn(), box->rootModelIndex()));
        QTest::keyClick(view, Qt::Key_Return);
        ASSERT_EQ(box->currentText(), text);
        ASSERT_FALSE(view->isVisible());
    }
    // Types any text, also characters that have no key of their own.
    static void Keys(QWidget* widget, const QString& text)
    {
        for (QChar c : text) {
            if (c.unicode() < 128 && c.isPrint())
                QTest::keyClicks(widget, QString(c));
            else
                QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    static QStringList Entries(const QComboBox* box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }

    ScreenTextEdit* Screen() const { return panel->screenEditor()->textEdit(); }
    QString ScreenShown() const { return Screen()->toPlainText(); }
    void PutCursor(int line, int column)
    {
        QTextCursor c = Screen()->textCursor();
        c.setPosition(Screen()->document()->findBlockByNumber(line).position() + column);
        Screen()->setTextCursor(c);
    }

    ProjectState project;
    ScriptedMessages messages;
    std::unique_ptr<MachineDocument> document;
    std::unique_ptr<PropertyPanel> panel;

private:
    int nextCell_ = 0;
};

TEST_F(PropertyPanelTest, EveryKindShowsItsRowsUnderItsCaptions)
{
    struct Case {
        std::int32_t kind;
        std::vector<PanelRow> rows;
    };
    const Case cases[] = {
        {KindInput, {StateNumber, Target, InputType, InputLength, InputPos, InputInit, PanelRow::Screen}},
        {KindReadKey, {StateNumber, PanelRow::Screen}},
        {KindSync, {StateNumber, Source}},
        {KindGetSequence, {Target}},
        {KindSecOfCentury, {Target}},
        {KindGetDate, {Target}},
        {KindGetTime, {Target}},
        {KindWriteToFlash, {Source, Source2, ConstInteger}},
        {KindWdt, {Target, Source, Source2}},
        // The three constant rows show when the panel is filled.
        {KindStrCopy, {Target, Source, Start, ConsStart, End, ConsEnd, ConstString}},
        {KindStrCat, {Target, Source, Start, ConsStart, End, ConsEnd, ConstString}},
        {KindStrLen, {Target, Source}},
        {KindStrPos, {Target, Source, ConstString, Position}},
        {KindStrCmp, {Target, Source, ConstString}},
        // A new item's source is the constant.
        {KindProcess, {Target, Operation, Source, ConstInteger}},
        {KindNumCmp, {Target, Source, ConstInteger}},
        {KindTmrReturn, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ToolCaption(c.kind)));
        const std::int32_t id = Place(c.kind);
        EXPECT_EQ(panel->shownItemId(), id);
        EXPECT_EQ(panel->title()->text(), QStringLiteral("Properties (%1)").arg(id));
        EXPECT_EQ(ShownRows(), c.rows);
        const bool wdt = c.kind == KindWdt;
        EXPECT_EQ(panel->caption(Target)->text(), wdt ? "Flag" : "Target");
        EXPECT_EQ(panel->caption(Source)->text(), wdt ? "Initial Time" : "Source");
        EXPECT_EQ(panel->caption(Source2)->text(), wdt ? "Increment" : "Source 2");
    }
    // An empty cell shows an empty panel.
    panel->ShowItem(-1);
    EXPECT_EQ(panel->title()->text(), "Properties");
    EXPECT_TRUE(ShownRows().empty());
}

TEST_F(PropertyPanelTest, VariableListsAreSortedAndNameTheUnnamed)
{
    project.variables[31].name = "count";
    project.variables[32].name = "Amount";
    project.variables[33].name = "  ";
    project.variables[45].name.clear();
    const std::int32_t id = Place(KindNumCmp);
    const QStringList targets = Entries(panel->listBox(Target));
    // int01..int50 and flt01..flt20 under their names, sorted, blank ones left out.
    EXPECT_EQ(targets.size(), 68);
    EXPECT_EQ(targets.front(), "Amount");
    EXPECT_EQ(targets.at(1), "count");
    EXPECT_TRUE(std::is_sorted(targets.begin(), targets.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));
    EXPECT_TRUE(Entries(panel->listBox(Source)).contains("Constant"));
    EXPECT_EQ(panel->listBox(Source)->currentText(), "Constant");

    // An item naming a variable without a name: the variable becomes
    // noname45 and is selected, in Start and End alike.
    ItemAs<TItcNumCmp>(id).target = 45;
    const std::int32_t copy = Place(KindStrCopy);
    document->EditItem(copy, "test", -1, [](TitcItem& item) { static_cast<TItcStrCopy&>(item).start = 45; });
    panel->ShowItem(id);
    EXPECT_EQ(project.variables[45].name, "noname45");
    EXPECT_EQ(panel->listBox(Target)->currentText(), "noname45");
    panel->ShowItem(copy);
    EXPECT_EQ(panel->listBox(Start)->currentText(), "noname45");
    EXPECT_TRUE(Entries(panel->listBox(End)).contains("noname45"));
    EXPECT_FALSE(Entries(panel->listBox(End)).contains("int03"));
    EXPECT_TRUE(Entries(panel->listBox(Start)).contains("Constant"));

    // A variable the list does not offer shows no selection and is kept.
    ItemAs<TItcStrCopy>(copy).target = 110;
    panel->ShowItem(-1);
    panel->ShowItem(copy);
    EXPECT_EQ(panel->listBox(Target)->currentIndex(), -1);
    EXPECT_EQ(ItemAs<TItcStrCopy>(copy).target, 110);
}

// Each row of each kind writes its field: the box, what is typed or picked,
// and the field afterwards.
TEST_F(PropertyPanelTest, EveryRowWritesItsField)
{
    project.variables[1].name = "code";
    struct Case {
        std::int32_t kind;
        PanelRow row;
        QString input;
        std::function<std::string(TitcItem&)> field;
        std::string expected;
    };
#define FIELD(Class, member) [](TitcItem& i) { return std::to_string(dynamic_cast<Class&>(i).member); }
    const Case cases[] = {
        {KindInput, StateNumber, "12", FIELD(TItcInputMenu, stateNumber), "12"},
        {KindInput, StateNumber, "300", FIELD(TItcInputMenu, stateNumber), "0"},
        {KindInput, StateNumber, "x", FIELD(TItcInputMenu, stateNumber), "0"},
        {KindInput, Target, "int01", FIELD(TItcInputMenu, target), "31"},
        {KindReadKey, StateNumber, "255", FIELD(TItcReadKeyMenu, stateNumber), "255"},
        {KindSync, StateNumber, "7", FIELD(TItcSync, stateNumber), "7"},
        {KindSync, Source, "flt01", FIELD(TItcSync, source), "81"},
        {KindGetSequence, Target, "code", FIELD(TItcGetSequence, target), "1"},
        {KindSecOfCentury, Target, "int50", FIELD(TitcSecOfCentury, target), "80"},
        {KindGetDate, Target, "str02", FIELD(TItcGetDate, target), "2"},
        {KindGetTime, Target, "str30", FIELD(TItcGetTime, target), "30"},
        {KindWriteToFlash, Source, "str05", FIELD(TItcWriteToFlash, source1), "5"},
        {KindWriteToFlash, Source2, "Counter 1", FIELD(TItcWriteToFlash, source2), "103"},
        {KindWriteToFlash, ConstInteger, "42", FIELD(TItcWriteToFlash, tag), "42"},
        {KindWdt, Target, "int02", FIELD(TItcWdt, flag), "32"},
        {KindWdt, Source, "int03", FIELD(TItcWdt, startTime), "33"},
        {KindWdt, Source2, "int04", FIELD(TItcWdt, increment), "34"},
        {KindStrCopy, Target, "Serial Data", FIELD(TItcStrCopy, target), "101"},
        {KindStrCopy, Source, "Label", FIELD(TItcStrCopy, source), "115"},
        {KindStrCopy, Start, "int05", FIELD(TItcStrCopy, start), "35"},
        {KindStrCopy, ConsStart, "3", FIELD(TItcStrCopy, constStart), "3"},
        {KindStrCopy, End, "int06", FIELD(TItcStrCopy, end), "36"},
        {KindStrCopy, ConsEnd, "9", FIELD(TItcStrCopy, constEnd), "9"},
        {KindStrCat, Source, "Digital In 1", FIELD(TItcStrCat, source), "108"},
        {KindStrCat, ConsEnd, "-2", FIELD(TItcStrCat, constEnd), "-2"},
        {KindStrLen, Target, "int07", FIELD(TItcStrLen, target), "37"},
        {KindStrLen, Source, "code", FIELD(TItcStrLen, source), "1"},
        {KindStrPos, Source, "PS2 Data", FIELD(TItcStrPos, source), "102"},
        {KindStrPos, Position, "2", FIELD(TItcStrPos, occurrence), "2"},
        {KindStrCmp, Target, "str09", FIELD(TItcStrCmp, target), "9"},
        {KindStrCmp, Source, "str10", FIELD(TItcStrCmp, source), "10"},
        {KindProcess, Target, "Digital Out 2", FIELD(TItcProcess, target), "114"},
        {KindProcess, Operation, "Mod", FIELD(TItcProcess, operation), "5"},
        {KindProcess, Source, "Digital In 5", FIELD(TItcProcess, source), "112"},
        {KindNumCmp, Target, "flt20", FIELD(TItcNumCmp, target), "100"},
        {KindNumCmp, Source, "Counter 2", FIELD(TItcNumCmp, source), "104"},
        {KindNumCmp, ConstInteger, "2.5", FIELD(TItcNumCmp, constValue), "2.500000"},
        {KindProcess, ConstInteger, "-0.125", FIELD(TItcProcess, constValue), "-0.125000"},
        {KindStrCat, Target, "str03", FIELD(TItcStrCat, target), "3"},
        {KindStrCat, Start, "int08", FIELD(TItcStrCat, start), "38"},
        {KindStrCat, ConsStart, "4", FIELD(TItcStrCat, constStart), "4"},
        {KindStrCat, End, "int09", FIELD(TItcStrCat, end), "39"},
        {KindStrPos, Target, "int10", FIELD(TItcStrPos, target), "40"},
    };
#undef FIELD
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(ToolCaption(c.kind)) + " row " + std::to_string(int(c.row)) + " "
                     + c.input.toStdString());
        const std::int32_t id = Place(c.kind);
        const int steps = document->undoStack().count();
        if (QComboBox* list = panel->listBox(c.row))
            Pick(list, c.input);
        else
            Type(panel->textBox(c.row), c.input);
        EXPECT_EQ(c.field(Item(id)), c.expected);
        // One step, the window marked modified, and the record reads back.
        if (c.expected != "0") {
            EXPECT_EQ(document->undoStack().count(), steps + 1);
            EXPECT_TRUE(document->isModified());
        }
        auto copy = CreateItem(c.kind, nullptr);
        ASSERT_TRUE(copy->ReadRecord(Item(id).WriteRecord()));
        EXPECT_EQ(c.field(*copy), c.expected);
    }

    // Texts, as Windows-1254 bytes.
    for (std::int32_t kind : {KindStrCopy, KindStrCat, KindStrPos, KindStrCmp}) {
        const std::int32_t id = Place(kind);
        Type(panel->textBox(ConstString), QStringLiteral(u"Şeker \\ 1"));
        std::string text;
        for (const ItemField& field : ItemFields(Item(id)))
            if (field.row == ConstString)
                text = *std::get<std::string*>(FieldOf(Item(id), field));
        EXPECT_EQ(text, "\xDE" "eker \\ 1") << ToolCaption(kind);
    }
    EXPECT_TRUE(messages.errors().empty()) << messages.transcript();
}

TEST_F(PropertyPanelTest, ConstantRowsFollowTheSource)
{
    const std::int32_t cmp = Place(KindNumCmp);
    Pick(panel->listBox(Source), "int01");
    EXPECT_FALSE(Shows(ConstInteger));
    EXPECT_EQ(ItemAs<TItcNumCmp>(cmp).source, 31);
    // The item is drawn anew with the variable's name.
    EXPECT_NE(ItemDescription(Item(cmp), project.variables).find("int01"), std::string::npos);
    Pick(panel->listBox(Source), "Constant");
    EXPECT_TRUE(Shows(ConstInteger));
    EXPECT_EQ(ItemAs<TItcNumCmp>(cmp).source, 0);
    // Filled again for an item whose source is a variable: no constant row.
    Pick(panel->listBox(Source), "int02");
    panel->ShowItem(-1);
    panel->ShowItem(cmp);
    EXPECT_FALSE(Shows(ConstInteger));

    const std::int32_t copy = Place(KindStrCat);
    for (auto [list, row] : {std::pair{Source, ConstString}, {Start, ConsStart}, {End, ConsEnd}}) {
        Pick(panel->listBox(list), list == Source ? "str01" : "int01");
        EXPECT_FALSE(Shows(row));
        Pick(panel->listBox(list), "Constant");
        EXPECT_TRUE(Shows(row));
    }
    EXPECT_EQ(ItemAs<TItcStrCat>(copy).source, 0);
}

TEST_F(PropertyPanelTest, ConstantsAreReadInThousandths)
{
    const std::int32_t id = Place(KindProcess);
    QLineEdit* box = panel->textBox(ConstInteger);
    struct Case {
        const char* typed;
        double stored;
    };
    const Case cases[] = {{"1.5", 1.5}, {"1.2344", 1.234}, {"abc", 0.0}, {"-2,500.25", -2500.25}, {"", 0.0}};
    for (const Case& c : cases) {
        Type(box, c.typed);
        if (!*c.typed)
            QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_DOUBLE_EQ(ItemAs<TItcProcess>(id).constValue, c.stored) << c.typed;
    }
    EXPECT_TRUE(messages.errors().empty());

    // Shown as the picture shows it.
    Type(box, "1234.5");
    panel->ShowItem(-1);
    panel->ShowItem(id);
    EXPECT_EQ(panel->textBox(ConstInteger)->text(), "1,234.5");

    // A thousandfold beyond 32 bits is refused where it is typed; the item
    // keeps its last good value and the box its last good text.
    Type(box, "2147483");
    QTest::keyClick(box, Qt::Key_9);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(kConstantTooLarge)});
    EXPECT_DOUBLE_EQ(ItemAs<TItcProcess>(id).constValue, 2147483.0);
    EXPECT_EQ(box->text(), "2147483");
    auto copy = CreateItem(KindProcess, nullptr);
    ASSERT_TRUE(copy->ReadRecord(Item(id).WriteRecord()));
    EXPECT_DOUBLE_EQ(static_cast<TItcProcess&>(*copy).constValue, 2147483.0);
}

TEST_F(PropertyPanelTest, InputTypeAndLengthFollowTheirRules)
{
    const std::int32_t id = Place(KindInput);
    auto& input = ItemAs<TItcInputMenu>(id);
    QComboBox* type = panel->listBox(InputType);
    QLineEdit* length = panel->lengthBox(0);
    QLineEdit* decimals = panel->lengthBox(1);
    EXPECT_EQ(type->currentText(), "Unsigned Integer");
    EXPECT_FALSE(decimals->isEnabled());

    Pick(type, "Signed Real");
    EXPECT_TRUE(decimals->isEnabled());
    Type(length, "5");
    Type(decimals, "2");
    EXPECT_EQ(input.inputFormat, 101);
    EXPECT_EQ(input.inputSize, 2);

    Pick(type, "String");
    EXPECT_FALSE(decimals->isEnabled());
    Type(length, "10");
    EXPECT_EQ(input.inputFormat, 128);
    EXPECT_EQ(input.inputSize, 10);

    // 12 is accepted; 13 is refused and the box returns to "0".
    Type(length, "12");
    EXPECT_EQ(input.inputSize, 12);
    EXPECT_TRUE(messages.errors().empty());
    Type(length, "13");
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Should be less than 12!"});
    EXPECT_EQ(length->text(), "0");
    EXPECT_EQ(input.inputSize, 0);

    // Text that is no whole number stores nothing.
    Type(length, "7");
    messages.shown.clear();
    QTest::keyClick(length, Qt::Key_A);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"'7a' is not a valid integer value."});
    EXPECT_EQ(input.inputSize, 7);
    EXPECT_EQ(input.inputFormat, 128);

    // Filled again: the type and lengths come back from the item.
    input.inputFormat = 101;
    input.inputSize = 2;
    panel->ShowItem(-1);
    panel->ShowItem(id);
    EXPECT_EQ(type->currentText(), "Signed Real");
    EXPECT_EQ(length->text(), "5");
    EXPECT_EQ(decimals->text(), "2");
}

TEST_F(PropertyPanelTest, InputPositionFollowsItsRules)
{
    const std::int32_t id = Place(KindInput);
    auto& input = ItemAs<TItcInputMenu>(id);
    QLineEdit* row = panel->positionBox(0);
    QLineEdit* column = panel->positionBox(1);
    QLineEdit* length = panel->positionBox(2);
    struct Case {
        QLineEdit* box;
        const char* typed;
        const char* message; // null: accepted
        int inputRow, inputColumn, maxLength;
    };
    const Case cases[] = {
        {row, "8", nullptr, 8, 0, 0},
        {row, "9", "Row should be less than 8!", 0, 0, 0},
        {column, "19", nullptr, 0, 19, 0},
        {column, "20", "Col. should be less than 19!", 0, 0, 0},
        {column, "15", nullptr, 0, 15, 0},
        {length, "5", nullptr, 0, 15, 5},
        {length, "6", "Col+Len should be less than 20!", 0, 15, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        messages.shown.clear();
        Type(c.box, c.typed);
        if (c.message) {
            EXPECT_EQ(messages.errors(), std::vector<std::string>{c.message});
            EXPECT_EQ(c.box->text(), "0");
        } else {
            EXPECT_TRUE(messages.errors().empty()) << messages.transcript();
        }
        EXPECT_EQ(input.inputRow, c.inputRow);
        EXPECT_EQ(input.inputColumn, c.inputColumn);
        EXPECT_EQ(input.maxLength, c.maxLength);
    }
    QTest::mouseClick(panel->initBox(), Qt::LeftButton, {}, QPoint(5, panel->initBox()->height() / 2));
    EXPECT_TRUE(input.showInitial);
    EXPECT_TRUE(document->isModified());
}

TEST_F(PropertyPanelTest, TypingInOneBoxIsOneUndoStep)
{
    const std::int32_t id = Place(KindStrCmp);
    const int steps = document->undoStack().count();
    Type(panel->textBox(ConstString), "hello");
    EXPECT_EQ(ItemAs<TItcStrCmp>(id).constText, "hello");
    EXPECT_EQ(document->undoStack().count(), steps + 1);
    EXPECT_TRUE(document->isModified());
    document->undoStack().undo();
    EXPECT_EQ(ItemAs<TItcStrCmp>(id).constText, "");
    // The panel shows the item as the undo left it.
    EXPECT_EQ(panel->textBox(ConstString)->text(), "");
    document->undoStack().redo();
    EXPECT_EQ(panel->textBox(ConstString)->text(), "hello");

    // Another box, then the first again: separate steps.
    Pick(panel->listBox(Source), "str01");
    Pick(panel->listBox(Source), "Constant");
    Type(panel->textBox(ConstString), "x");
    EXPECT_EQ(document->undoStack().count(), steps + 4);
}

TEST_F(PropertyPanelTest, WhatTheRecordCannotCarryNeverReachesTheItem)
{
    const std::int32_t id = Place(KindStrCopy);
    auto& copy = ItemAs<TItcStrCopy>(id);
    QLineEdit* box = panel->textBox(ConstString);
    Type(box, "ab");
    box->setCursorPosition(1);

    // A pasted line break: what follows it in the pasted text is dropped, the
    // rest of the box stays.
    QGuiApplication::clipboard()->setText("XY\r\nZ");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "aXYb");
    EXPECT_EQ(copy.constText, "aXYb");
    EXPECT_TRUE(messages.errors().empty());

    struct Case {
        const char* what;
        QString typed;
    };
    const Case cases[] = {
        {"the end mark", "#3"},
        {"byte 248", QString(QChar(0xF8))},
        {"byte 249", QString(QChar(0xF9))},
        {"byte 255", QString(QChar(0xFF))},
        {"outside the code page", QStringLiteral(u"中")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        box->setCursorPosition(box->text().size());
        Keys(box, c.typed);
        ASSERT_EQ(messages.errors().size(), 1u) << messages.transcript();
        EXPECT_EQ(copy.constText.find("#3"), std::string::npos);
        // "#" was good on its own; the "3" was not.
        EXPECT_EQ(box->text(), "aXYb#");
    }
    EXPECT_NE(messages.errors().front().find("U+4E2D"), std::string::npos);
    EXPECT_EQ(copy.constText, "aXYb#");
    // The machine still reads back item for item.
    for (const std::string& line : document->CurrentText())
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    auto back = CreateItem(KindStrCopy, nullptr);
    EXPECT_TRUE(back->ReadRecord(copy.WriteRecord()));

    // A line break typed into a number box is dropped as well.
    QGuiApplication::clipboard()->setText("4\n5");
    QLineEdit* start = panel->textBox(ConsStart);
    start->setFocus();
    start->selectAll();
    QTest::keyClick(start, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(start->text(), "4");
    EXPECT_EQ(copy.constStart, 4);
}

TEST_F(PropertyPanelTest, ScreenEditorShowsFieldsNumberedAndRed)
{
    project.variables[31].name = "qty";
    const std::int32_t id = Place(KindInput);
    auto& input = ItemAs<TItcInputMenu>(id);
    input.screenText = std::string("Qty:") + kStoredMarker + '`' + "####\r\nItem " + kStoredMarker + 'B' + "##";
    panel->ShowItem(-1);
    panel->ShowItem(id);

    EXPECT_EQ(panel->screenEditor()->ruler()->text(), "....+....+....+....+");
    EXPECT_EQ(ScreenShown(), QString("Qty:") + kShownMarker + "A####\nItem " + kShownMarker + "B##");
    ASSERT_EQ(panel->screenFields().size(), 2u);
    EXPECT_EQ(panel->screenFields()[0], (ScreenField{31, 6, 0, 4, 4}));
    EXPECT_EQ(panel->screenFields()[1].line, 1);
    const QList<QTextEdit::ExtraSelection> red = Screen()->extraSelections();
    ASSERT_EQ(red.size(), 2);
    EXPECT_EQ(red[0].cursor.selectedText(), kShownMarker + QString("A####"));
    EXPECT_EQ(red[0].format.foreground().color(), QColor(Qt::red));
    EXPECT_EQ(red[1].cursor.selectedText(), kShownMarker + QString("B##"));

    // Typing before a field keeps the field and its colour.
    Screen()->setFocus();
    PutCursor(0, 0);
    QTest::keyClicks(Screen(), "My ");
    EXPECT_EQ(input.screenText, std::string("My Qty:") + kStoredMarker + '`' + "####\r\nItem " + kStoredMarker + 'B'
                                    + "##");
    EXPECT_EQ(Screen()->extraSelections()[0].cursor.selectedText(), kShownMarker + QString("A####"));

    // Deleting the first field's marker leaves its letter as text as shown;
    // the second field becomes field A.
    PutCursor(0, 7);
    QTest::keyClick(Screen(), Qt::Key_Delete);
    EXPECT_EQ(input.screenText, std::string("My Qty:A####\r\nItem ") + kStoredMarker + 'B' + "##");
    EXPECT_EQ(ScreenShown(), QString("My Qty:A####\nItem ") + kShownMarker + "A##");
    ASSERT_EQ(panel->screenFields().size(), 1u);

    // A new line.
    PutCursor(1, 4);
    QTest::keyClick(Screen(), Qt::Key_Return);
    EXPECT_EQ(input.screenText, std::string("My Qty:A####\r\nItem\r\n ") + kStoredMarker + 'B' + "##");
    EXPECT_EQ(Screen()->extraSelections()[0].cursor.selectedText(), kShownMarker + QString("A##"));
    EXPECT_TRUE(messages.errors().empty()) << messages.transcript();
}

TEST_F(PropertyPanelTest, ScreenEditorRefusesWhatTheRecordCannotCarry)
{
    const std::int32_t id = Place(KindReadKey);
    auto& readKey = ItemAs<TItcReadKeyMenu>(id);
    Screen()->setFocus();
    QTest::keyClicks(Screen(), "Menu #");
    EXPECT_EQ(readKey.screenText, "Menu #");
    for (const QString& typed : {QStringLiteral("3"), QString(QChar(0xFF)), QStringLiteral(u"€"),
                                 QStringLiteral(u"→")}) {
        messages.shown.clear();
        Keys(Screen(), typed);
        const bool cp1254 = FitsCp1254(typed) && typed != QString(QChar(0xFF)) && typed != "3";
        if (cp1254) {
            EXPECT_TRUE(messages.errors().empty());
            QTest::keyClick(Screen(), Qt::Key_Backspace);
        } else {
            EXPECT_EQ(messages.errors().size(), 1u) << typed.toStdString();
        }
        EXPECT_EQ(readKey.screenText, "Menu #");
        EXPECT_EQ(ScreenShown(), "Menu #");
        EXPECT_EQ(Screen()->textCursor().position(), 6);
    }
}

TEST_F(PropertyPanelTest, InsertVariableAtTheCursor)
{
    const std::int32_t id = Place(KindInput);
    auto& input = ItemAs<TItcInputMenu>(id);
    Screen()->setFocus();
    QTest::keyClicks(Screen(), "line one");
    QTest::keyClick(Screen(), Qt::Key_Return);
    QTest::keyClicks(Screen(), "line two");
    QTest::keyClick(Screen(), Qt::Key_Return);
    QTest::keyClicks(Screen(), "abcdef");
    PutCursor(2, 3);

    messages.variables.push_back(ScriptedMessages::VariableChoice{35, 6});
    QTest::mouseClick(panel->screenEditor()->insertVariableButton(), Qt::LeftButton);
    ASSERT_EQ(messages.shown.back().kind, "variable");
    EXPECT_EQ(messages.shown.back().message, "20");
    const std::string field = std::string(1, kStoredMarker) + "d####";  // 'A' + 35
    EXPECT_EQ(input.screenText, "line one\r\nline two\r\nabc" + field + "def\r\n");
    EXPECT_EQ(Screen()->document()->findBlockByNumber(2).text().size(), 12);
    EXPECT_EQ(Screen()->document()->findBlockByNumber(2).text(), QString("abc") + kShownMarker + "A####def");
    ASSERT_EQ(Screen()->extraSelections().size(), 1);
    EXPECT_EQ(Screen()->extraSelections()[0].cursor.selectedText(), kShownMarker + QString("A####"));
    EXPECT_EQ(Screen()->textCursor().positionInBlock(), 9);

    // Again, on the same line: the text does not grow empty lines.
    messages.variables.push_back(ScriptedMessages::VariableChoice{1, 2});
    QTest::mouseClick(panel->screenEditor()->insertVariableButton(), Qt::LeftButton);
    EXPECT_EQ(input.screenText, "line one\r\nline two\r\nabc" + field + std::string(1, kStoredMarker) + "Bdef\r\n");
    EXPECT_EQ(Screen()->blockCount(), 4);  // the empty line after the final break

    // Cancelled: nothing changes.
    const std::string before = input.screenText;
    messages.variables.push_back(std::nullopt);
    QTest::mouseClick(panel->screenEditor()->insertVariableButton(), Qt::LeftButton);
    EXPECT_EQ(input.screenText, before);

    // A field whose padding would run into a 3 would end the record early.
    PutCursor(0, 0);
    QTest::keyClicks(Screen(), "3");
    PutCursor(0, 0);
    messages.variables.push_back(ScriptedMessages::VariableChoice{2, 4});
    QTest::mouseClick(panel->screenEditor()->insertVariableButton(), Qt::LeftButton);
    EXPECT_EQ(messages.errors().size(), 1u);
    EXPECT_EQ(input.screenText, "3" + before);
}

TEST_F(PropertyPanelTest, CopyWithVariablePutsTheStoredTextOnTheClipboard)
{
    const std::int32_t id = Place(KindInput);
    ItemAs<TItcInputMenu>(id).screenText = std::string("Total ") + kStoredMarker + "b###\r\nOK" + '\0' + "hidden";
    panel->ShowItem(-1);
    panel->ShowItem(id);
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(panel->screenEditor()->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("Total ") + QChar(0xB2) + "b###\r\nOK");
}

TEST_F(PropertyPanelTest, EightyFieldsAtMostAreFields)
{
    const std::int32_t id = Place(KindInput);
    std::string text;
    for (int i = 0; i < 81; ++i)
        text += std::string(1, kStoredMarker) + "B#";
    ItemAs<TItcInputMenu>(id).screenText = text;
    panel->ShowItem(-1);
    panel->ShowItem(id);
    EXPECT_EQ(panel->screenFields().size(), 80u);
    EXPECT_EQ(ScreenShown().right(3), QString(QChar(0xB2)) + "B#");
    // Typing at the end keeps all 81 variables.
    Screen()->setFocus();
    Screen()->moveCursor(QTextCursor::End);
    QTest::keyClicks(Screen(), "!");
    EXPECT_EQ(ItemAs<TItcInputMenu>(id).screenText, text + "!");
}

// The panel inside the design window: a double click shows it, it follows
// the selection, and an edit marks the window modified and redraws the item.
class PanelInWindowTest : public ::testing::Test {
protected:
    void SetUp() override { project.newProject(); }

    ProjectState project;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
};

TEST_F(PanelInWindowTest, DoubleClickShowsThePanelAndEditsRedrawTheItem)
{
    std::unique_ptr<TFTasarim> window = TFTasarim::Create(project, MachineId::Online, messages, dialogs);
    ASSERT_TRUE(window);
    window->resize(1300, 900);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(window->document().PlaceItem(KindInput, 0, 0));
    ASSERT_TRUE(window->document().PlaceItem(KindProcess, 0, 1));
    QWidget* view = window->canvas().viewport();
    auto at = [&](int row, int column) {
        return window->canvas().ToViewport(QPoint(column * kCellWidth + 110, row * kCellHeight + 110));
    };
    PropertyPanel& panel = window->panel();
    EXPECT_FALSE(panel.isVisible());
    QTest::mouseDClick(view, Qt::LeftButton, {}, at(0, 0));
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.shownItemId(), 1);
    EXPECT_EQ(panel.title()->text(), "Properties (1)");

    QLineEdit* state = panel.textBox(StateNumber);
    state->setFocus();
    state->selectAll();
    QTest::keyClicks(state, "17");
    EXPECT_EQ(static_cast<TItcInputMenu&>(*window->document().items().ItemById(1)).stateNumber, 17);
    EXPECT_TRUE(window->windowTitle().endsWith(" *"));
    bool drawn = false;
    for (const Primitive& p : window->picture().Primitives())
        if (p.kind == Primitive::Kind::Text && window->picture().TextOf(p) == "Input (17) Start")
            drawn = true;
    EXPECT_TRUE(drawn);
    // Undo in the window undoes the whole typing and the panel follows.
    window->undoAction()->trigger();
    EXPECT_EQ(static_cast<TItcInputMenu&>(*window->document().items().ItemById(1)).stateNumber, 0);
    EXPECT_EQ(state->text(), "0");

    // Delete and the arrow keys on a box of the panel stay in the panel.
    QComboBox* target = panel.listBox(Target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Delete);
    QTest::keyClick(panel.textBox(StateNumber), Qt::Key_Left);
    EXPECT_TRUE(window->document().items().ItemById(1));
    EXPECT_EQ(window->document().selectedColumn(), 0);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();

    // A click on another item shows it.
    QTest::mouseClick(view, Qt::LeftButton, {}, at(0, 1));
    EXPECT_EQ(panel.shownItemId(), 2);
    EXPECT_TRUE(panel.rowWidget(Operation)->isVisible());
    EXPECT_TRUE(messages.errors().empty()) << messages.transcript();
}

} // namespace
