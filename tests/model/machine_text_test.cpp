#include "model/item_kinds.h"
#include "model/items_list.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace qvt;
using qvt::test::ScriptedMessages;
using qvt::test::TempDir;
using qvt::test::readFile;
using qvt::test::writeFile;

namespace {

const char* const kCorrupt = "Incorrect data.  File is corrupted.  Data is ignored.";

// Minimal record of a kind with an id, in row 0 and column `column`.
std::string Record(std::int32_t id, std::int32_t kind = KindWdt, int column = 0)
{
    auto item = CreateItem(kind);
    item->id = id;
    item->column = column;
    return item->WriteRecord();
}

MachineText SampleMachine()
{
    TItcInputMenu input;
    input.id = 1;
    input.stateNumber = 7;
    input.screenText = "Enter amount\r\n\\ ok #1 #2";
    input.target = 31;
    input.inputFormat = 0x43;
    input.inputSize = 2;
    input.okTarget = 2;
    input.errorTarget = 1;
    input.showInitial = true;
    TItcProcess process;
    process.id = 2;
    process.row = 1;
    process.target = 31;
    process.operation = OpMultiply;
    process.constValue = 1.5;
    process.nextTarget = 7;
    TItcStrCmp cmp;
    cmp.id = 7;
    cmp.column = 3;
    cmp.constText = "\xFE\xDE=#";
    cmp.equalTarget = 1;
    return {input.WriteRecord(), process.WriteRecord(), cmp.WriteRecord()};
}

class RecordingView : public ItemsListView {
public:
    int drawn = 0;
    int connections = 0;
    void DrawItem(const TitcItem&) override { ++drawn; }
    void RedrawConnections() override { ++connections; }
    void DrawEmptyCell(int, int) override {}
    void DrawEmptyCells() override {}
};

// Lets the process write files of at most `bytes` bytes while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

TEST(MachineText, SavesRecordsInIdOrderAndReadsThemBack)
{
    ScriptedMessages messages;
    const MachineText text = SampleMachine();
    // Stored out of order; saved in id order whatever the cells.
    TitcItemsList list({text[2], text[0], text[1]}, messages);
    EXPECT_EQ(list.Count(), 3);
    MachineText saved = {"old"};
    ASSERT_TRUE(list.SaveToMachineText(saved));
    EXPECT_EQ(saved, text);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();

    const auto* input = dynamic_cast<const TItcInputMenu*>(list.ItemById(1));
    ASSERT_TRUE(input);
    EXPECT_EQ(input->screenText, "Enter amount\r\n\\ ok #1 #2");
    EXPECT_EQ(input->inputFormat, 0x43);
}

TEST(MachineText, AnEmptyMachine)
{
    ScriptedMessages messages;
    TitcItemsList list(MachineText{}, messages);
    EXPECT_TRUE(list.IsEmpty());
    MachineText saved = {"x", "y"};
    ASSERT_TRUE(list.SaveToMachineText(saved));
    EXPECT_TRUE(saved.empty());

    TempDir dir;
    const std::string path = dir.path("empty.zmkexp");
    ASSERT_TRUE(list.ExportToFile(path));
    EXPECT_EQ(readFile(path), "V100\r\n");
}

TEST(MachineText, BadLinesAreReportedAndSkipped)
{
    struct Row {
        const char* what;
        MachineText lines;
        int errors;
        const char* ids;  // ids held afterwards with their kinds
    };
    const Row rows[] = {
        {"a line of spaces", {Record(1), "    ", Record(2)}, 1, "1:100 2:100 "},
        {"an empty line", {Record(1), ""}, 1, "1:100 "},
        {"kind 5", {"#1#id=3\\#sat=0\\#sut=0\\#tip=5\\#2\\#3", Record(2)}, 1, "2:100 "},
        {"no \\#2", {"#1#id=3\\#sat=0\\#sut=0\\#tip=100\\#3"}, 1, ""},
        {"several bad lines, one box each", {"x", Record(4), "#tip=1\\#2", "y"}, 3, "4:100 "},
        {"the same id twice: the later line wins", {Record(4, KindWdt), Record(4, KindSync)}, 0, "4:13 "},
        {"a kind in the kind section is not looked at", {"#1#id=6\\#sat=0\\#sut=0\\#2#tip=57\\#3"}, 1, ""},
        // The class comes from the line's kind number even when later base
        // keys cannot be read; the item keeps claiming that kind.
        {"unreadable row", {"#1#id=6\\#sat=x\\#sut=0\\#tip=57\\#2\\#3"}, 0, "6:57 "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ScriptedMessages messages;
        TitcItemsList list(r.lines, messages);
        EXPECT_EQ(messages.errors(), std::vector<std::string>(r.errors, kCorrupt));
        std::string ids;
        list.ForEachItem([&](const TitcItem& item) {
            EXPECT_EQ(item.kind, item.KindNumber());
            ids += std::to_string(item.id) + ":" + std::to_string(item.kind) + " ";
        });
        EXPECT_EQ(ids, r.ids);
    }
}

TEST(MachineText, AnIdOutsideTheTableStopsReadingWithAnError)
{
    struct Row {
        const char* what;
        std::string line;
        std::int32_t id;
        bool refused;
    };
    const Row rows[] = {
        {"id 0", Record(0), 0, false},
        {"id 1001", Record(1001), 1001, false},
        {"negative id", Record(-5), -5, false},
        {"largest id", Record(2147483647), 2147483647, false},
        {"no id key", "#1#sat=0\\#sut=0\\#tip=100\\#2\\#3", 0, false},
        {"text after the end mark", Record(3) + "x", 0, true},
        {"\"#3\" inside a text", "#1#id=3\\#sat=0\\#sut=0\\#tip=195\\#2#sabit=a#3\\#3", 0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ScriptedMessages messages;
        try {
            TitcItemsList list({Record(1), r.line, Record(2)}, messages);
            ADD_FAILURE() << "no error";
        } catch (const MachineTextError& e) {
            EXPECT_EQ(e.lineIndex, 1);
            EXPECT_EQ(e.id, r.id);
            EXPECT_EQ(e.recordRefused, r.refused);
            EXPECT_NE(std::string(e.what()).find("Line 2 "), std::string::npos) << e.what();
        }
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(MachineText, TextsHoldingTheEndMarkAreNotSaved)
{
    ScriptedMessages messages;
    TitcItemsList list(SampleMachine(), messages);
    static_cast<TItcStrCmp*>(list.ItemById(7))->constText = "Total ##3";
    MachineText saved = {"kept"};
    EXPECT_FALSE(list.SaveToMachineText(saved));
    EXPECT_EQ(saved, MachineText{"kept"});

    TempDir dir;
    const std::string path = dir.path("m.zmkexp");
    writeFile(path, "old contents");
    EXPECT_FALSE(list.ExportToFile(path));
    EXPECT_EQ(readFile(path), "old contents");
    const std::string refusal =
        "Item 7 holds the characters \"#3\" in a text and cannot be saved.  Change the text and save again.";
    EXPECT_EQ(messages.errors(), (std::vector<std::string>{refusal, refusal}));

    // "#" and "3" apart are fine.
    static_cast<TItcStrCmp*>(list.ItemById(7))->constText = "Total #\r\n3#";
    EXPECT_TRUE(list.SaveToMachineText(saved));
    EXPECT_EQ(saved.size(), 3u);
}

TEST(DesignFile, ExportThenImportGivesTheSameRecords)
{
    ScriptedMessages messages;
    const MachineText text = SampleMachine();
    TitcItemsList list(text, messages);
    TempDir dir;
    const std::string path = dir.path("machine.zmkexp");
    ASSERT_TRUE(list.ExportToFile(path));
    EXPECT_EQ(readFile(path), "V100\r\n" + text[0] + "\r\n" + text[1] + "\r\n" + text[2] + "\r\n");

    RecordingView view;
    TitcItemsList other(MachineText{Record(9), Record(10)}, messages);
    other.SetView(&view);
    other.ImportFromFile(path);
    MachineText back;
    ASSERT_TRUE(other.SaveToMachineText(back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(view.drawn, 3);
    EXPECT_EQ(view.connections, 1);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST(DesignFile, ImportReadsAnyLineEnding)
{
    for (const char* end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(end));
        ScriptedMessages messages;
        TempDir dir;
        const std::string path = dir.path("m.zmk");
        writeFile(path, std::string("V100") + end + Record(1) + end + Record(3));  // no final line end
        TitcItemsList list(messages);
        list.ImportFromFile(path);
        EXPECT_EQ(list.Count(), 2);
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(DesignFile, WrongFilesLeaveTheMachineEmpty)
{
    struct Row { const char* what; std::string contents; };
    const Row rows[] = {
        {"a project file", "V101\r\n" + Record(1) + "\r\n"},
        {"an empty file", ""},
        {"version with spaces", "V100 \r\n" + Record(1) + "\r\n"},
        {"lower case", "v100\r\n" + Record(1) + "\r\n"},
        {"records without a version", Record(1) + "\r\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ScriptedMessages messages;
        RecordingView view;
        TempDir dir;
        const std::string path = dir.path("m.zmkexp");
        writeFile(path, r.contents);
        TitcItemsList list(MachineText{Record(1), Record(2)}, messages);
        list.SetView(&view);
        list.ImportFromFile(path);
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(messages.errors(), std::vector<std::string>{"Incorrect version or file format."});
        EXPECT_EQ(view.drawn + view.connections, 0);
    }
}

TEST(DesignFile, ImportFailuresReachTheCaller)
{
    ScriptedMessages messages;
    RecordingView view;
    TempDir dir;
    TitcItemsList list(MachineText{Record(1), Record(2)}, messages);
    list.SetView(&view);

    EXPECT_THROW(list.ImportFromFile(dir.path("missing.zmkexp")), DesignFileError);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_THROW(list.ImportFromFile(dir.path("")), DesignFileError);  // a folder

    // An id outside the table: the lines before it stay, nothing is drawn.
    const std::string path = dir.path("bad.zmkexp");
    writeFile(path, "V100\r\n" + Record(3) + "\r\nbad\r\n" + Record(1001) + "\r\n" + Record(4) + "\r\n");
    try {
        list.ImportFromFile(path);
        ADD_FAILURE() << "no error";
    } catch (const MachineTextError& e) {
        EXPECT_EQ(e.lineIndex, 3);
        EXPECT_EQ(e.id, 1001);
    }
    EXPECT_EQ(list.Count(), 1);
    EXPECT_NE(list.ItemById(3), nullptr);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{kCorrupt});
    EXPECT_EQ(view.drawn + view.connections, 0);
}

TEST(DesignFile, AFailedExportLeavesTheOldFileWhole)
{
    ScriptedMessages messages;
    TitcItemsList list(messages);
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(list.AddItem(KindReadKey, (i % 8) * kCellWidth, (i / 8) * kCellHeight));
    TempDir dir;
    const std::string path = dir.path("m.zmkexp");
    const std::string old = "V100\r\n" + Record(1) + "\r\n";
    writeFile(path, old);
    {
        // The disk "fills up" after 4 KiB; the machine needs far more.
        FileSizeLimit limit(4096);
        EXPECT_FALSE(list.ExportToFile(path));
    }
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Unexpected error while saving file."});

    // A folder that does not exist.
    EXPECT_FALSE(list.ExportToFile(dir.path("no/such/folder/m.zmkexp")));
    EXPECT_EQ(messages.errors().size(), 2u);

    ASSERT_TRUE(list.ExportToFile(path));
    TitcItemsList back(messages);
    back.ImportFromFile(path);
    EXPECT_EQ(back.Count(), 200);
}
