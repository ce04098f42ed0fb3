// Compiling a whole project from its machine texts: machine order, timer
// machines continuing their main machine, results and the image file.
#include "compile_fixture.h"

#include "compiler/compile_driver.h"
#include "compiler/compile_failure.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <string>
#include <utility>
#include <vector>

namespace qvt::test {
namespace {

class CompileProjectTest : public testing::Test {
protected:
    CompileProjectTest()
    {
        project.newProject();
        project.projectFileName = dir.path("stock.zmk");
    }

    void SetMachine(MachineId id, Machine& machine) { ASSERT_TRUE(machine.list.SaveToMachineText(project.machineText(id))); }

    CompileResult Compile() { return CompileProject(project, CompileSettings::ForProject(project), messages); }

    TempDir dir;
    ProjectState project;
    ScriptedMessages messages;
};

// An item with no errors and a known length.
void AddGetSeq(Machine& m, int id, int next)
{
    auto& g = m.add<TItcGetSequence>(id);
    g.target = 1;
    g.nextTarget = next;
}

TEST_F(CompileProjectTest, EmptyProjectWritesTheSmallestImage)
{
    const CompileResult result = Compile();
    ASSERT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    EXPECT_EQ(result.imagePath, dir.path("stock.ITF"));
    const std::string file = readFile(result.imagePath);
    EXPECT_EQ(file.size(), 12270u);
    EXPECT_EQ(Bytes(file.begin(), file.end()), result.image);
    EXPECT_TRUE(ImageChecksumValid(result.image));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CompileProjectTest, NeverSavedProjectIsNamedNoname)
{
    project.projectFileName.clear();
    const CompileSettings settings = CompileSettings::ForProject(project);
    EXPECT_EQ(settings.fileName, "noname.itf");
    EXPECT_EQ(TIT(settings.fileName, settings.version).ImageFileName(), "noname.ITF");
    EXPECT_EQ(settings.version, project.versionText);
    EXPECT_EQ(settings.onlineTimerInterval, project.onlineTimerInterval);
}

TEST_F(CompileProjectTest, JumpTableHasAnEntryForEveryId)
{
    // Items 1 and 3: id 2 has no item and shares item 3's offset; every id
    // after the last item points at the end of the code.
    Machine online;
    AddGetSeq(online, 1, 3);
    online.add<TItcTmrReturn>(3);
    SetMachine(MachineId::Online, online);
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    TitcItemsList items(project.machineText(MachineId::Online), messages);
    builder.CompileMachine(MachineId::Online, items, errors);
    EXPECT_EQ(JumpEntry(builder.onlineCode, 0), 0);
    EXPECT_EQ(JumpEntry(builder.onlineCode, 1), 4);
    EXPECT_EQ(JumpEntry(builder.onlineCode, 2), 4);
    for (int index : {3, 500, 999})
        EXPECT_EQ(JumpEntry(builder.onlineCode, index), 5) << index;
    EXPECT_EQ(builder.onlineCode[0], 0xAA);
    EXPECT_EQ(Word(builder.onlineCode, 1), 5);
}

TEST_F(CompileProjectTest, TimerMachineContinuesItsMainMachine)
{
    Machine online;
    AddGetSeq(online, 1, 12);
    online.add<TItcTmrReturn>(12);
    Machine timer;
    auto& date = timer.add<TItcGetDate>(1);
    date.target = 1;
    date.nextTarget = 3;
    timer.add<TItcTmrReturn>(3);

    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, online.list, errors);
    builder.CompileMachine(MachineId::OnlineTimer, timer.list, errors);
    ASSERT_TRUE(errors.empty());
    EXPECT_EQ(builder.onlineTimerBase, 12);
    // GetDate at table index 12 jumps to index 12 + 3 - 1.
    EXPECT_EQ(CodeOf(builder.onlineCode), (Bytes{7, 0, 11, 0, 254, 197, 0, 14, 0, 254}));
    EXPECT_EQ(JumpEntry(builder.onlineCode, 11), 4);   // the Online machine's Return
    EXPECT_EQ(JumpEntry(builder.onlineCode, 12), 5);   // the timer machine's entry
    EXPECT_EQ(JumpEntry(builder.onlineCode, 14), 9);   // its Return
    EXPECT_EQ(JumpEntry(builder.onlineCode, 999), 10);
}

TEST_F(CompileProjectTest, TimerStatesBeyondTheJumpTableAreNotStored)
{
    Machine online;
    AddGetSeq(online, 1, 998);
    online.add<TItcTmrReturn>(998);
    Machine timer;
    for (int id = 1; id <= 3; ++id)
        timer.add<TItcTmrReturn>(id);
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, online.list, errors);
    builder.onlineCode[kJumpTableOffset + kJumpTableSize] = 0x77;  // the first byte past the table
    builder.CompileMachine(MachineId::OnlineTimer, timer.list, errors);
    EXPECT_EQ(JumpEntry(builder.onlineCode, 998), 5);
    EXPECT_EQ(JumpEntry(builder.onlineCode, 999), 6);
    EXPECT_EQ(builder.onlineCode[kJumpTableOffset + kJumpTableSize], 0x77);
}

struct TableEndCase {
    const char* name;
    int mainHighestId;
    std::vector<std::pair<int, int>> timerGetDates;  // id and Next of each GetDate
    const char* failure;                              // nullptr: the image is written
};

void PrintTo(const TableEndCase& c, std::ostream* out)
{
    *out << c.name;
}

class TimerTableEndTest : public CompileProjectTest, public testing::WithParamInterface<TableEndCase> {};

// A timer state without a jump table entry must not be jumped to, nor be the
// timer's entry, from anything the terminal can run.
TEST_P(TimerTableEndTest, ReachableStatesStayInsideTheJumpTable)
{
    const TableEndCase& c = GetParam();
    Machine online;
    AddGetSeq(online, 1, c.mainHighestId);
    online.add<TItcTmrReturn>(c.mainHighestId);
    Machine timer;
    for (const auto& [id, next] : c.timerGetDates) {
        auto& date = timer.add<TItcGetDate>(id);
        date.target = 1;
        date.nextTarget = next;
    }
    SetMachine(MachineId::Online, online);
    SetMachine(MachineId::OnlineTimer, timer);
    const CompileResult result = Compile();
    if (c.failure == nullptr) {
        EXPECT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    } else {
        EXPECT_EQ(result.outcome, CompileOutcome::CompileFailed);
        EXPECT_EQ(result.reason, c.failure);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("stock.ITF"))));
    }
    const ProjectCheck check = CheckProject(project, CompileSettings::ForProject(project), messages);
    EXPECT_EQ(check.machines[1].failure.value_or(""), c.failure ? c.failure : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimerTableEndTest,
    testing::Values(
        TableEndCase{"LastEntry", 998, {{1, 2}, {2, 1}}, nullptr},
        TableEndCase{"JumpPastTheTable", 998, {{1, 3}, {3, 1}},
                     "Online/Timer: item 1: connection to item 3 leads to table index 1000, past the 1000-entry jump "
                     "table (the main machine's highest id is 998)"},
        // States that cannot run may lead anywhere.
        TableEndCase{"UnreachableLeadsOn", 998, {{1, 2}, {2, 1}, {3, 4}, {4, 3}}, nullptr},
        TableEndCase{"MainMachineUsesId1000", 1000, {{1, 1}},
                     "Online/Timer: the timer machine would start at table index 1000, past the 1000-entry jump "
                     "table (its main machine uses id 1000)"},
        TableEndCase{"MainMachineUsesId1000NoTimer", 1000, {}, nullptr}));

TEST_F(CompileProjectTest, CheckOfATimerMachineAloneStartsAtBaseZero)
{
    Machine timer;
    auto& date = timer.add<TItcGetDate>(1);
    date.target = 1;
    date.nextTarget = 3;
    const CheckResult result = CheckMachine(MachineId::OfflineTimer, timer.list);
    EXPECT_FALSE(result.failure);
    EXPECT_TRUE(result.errors.empty());

    // The same in a builder that compiled the other area's machine before.
    Machine online;
    AddGetSeq(online, 1, 7);
    online.add<TItcTmrReturn>(7);
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, online.list, errors);
    builder.CompileMachine(MachineId::OfflineTimer, timer.list, errors);
    EXPECT_EQ(CodeOf(builder.offlineCode), (Bytes{197, 0, 2, 0}));
    EXPECT_EQ(builder.offlineTimerBase, 0);
}

TEST_F(CompileProjectTest, EmptyMainMachineLeavesTheTimerAbsent)
{
    Machine timer;
    timer.add<TItcTmrReturn>(1);
    SetMachine(MachineId::OnlineTimer, timer);
    const CompileResult result = Compile();
    ASSERT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    // Its code is compiled, but the image has no interval for it.
    EXPECT_EQ(result.image[0], 0xAA);
    EXPECT_EQ(result.image[12266], 254);
    EXPECT_EQ(ImageWord(result.image, image::kOnlineTimerTicks), 0);
    EXPECT_EQ(ImageWord(result.image, image::kOnlineTimerBase), 0);
}

struct RefusedKindCase {
    MachineId machine;
    std::int32_t kind;
    const char* expected;
};

class TimerMachineKindsTest : public testing::TestWithParam<RefusedKindCase> {};

TEST_P(TimerMachineKindsTest, ScreenAndStateItemsAreRefused)
{
    const RefusedKindCase& c = GetParam();
    ScriptedMessages messages;
    TitcItemsList items(messages);
    auto item = CreateItem(c.kind);
    item->id = 2;
    items.PutItem(std::move(item));
    const CheckResult result = CheckMachine(c.machine, items);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(*result.failure, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TimerMachineKindsTest,
    testing::Values(
        RefusedKindCase{MachineId::OnlineTimer, KindInput, "Online/Timer: item 2: Input items cannot run in a timer machine"},
        RefusedKindCase{MachineId::OfflineTimer, KindReadKey,
                        "Offline/Timer: item 2: ReadKey items cannot run in a timer machine"},
        RefusedKindCase{MachineId::OnlineTimer, KindSync, "Online/Timer: item 2: Sync items cannot run in a timer machine"}));

TEST_F(CompileProjectTest, FullProjectImage)
{
    project.versionText = "V2.3";
    project.onlineTimerInterval = 500;
    project.offlineTimerInterval = 60;
    project.variables[31].initialValue = "42";
    project.labelData = "LABEL";

    Machine online;
    auto& input = online.add<TItcInputMenu>(1);
    input.stateNumber = 1;
    input.target = 31;
    input.okTarget = 2;
    input.screenText = "COUNT?";
    auto& sync = online.add<TItcSync>(2);
    sync.stateNumber = 2;
    sync.source = 31;
    Machine onlineTimer;
    onlineTimer.add<TItcTmrReturn>(1);
    Machine offline;
    auto& key = offline.add<TItcReadKeyMenu>(1);
    key.stateNumber = 1;
    key.enterTarget = 1;
    key.screenText = "PRESS E";
    Machine offlineTimer;
    offlineTimer.add<TItcTmrReturn>(1);
    SetMachine(MachineId::Online, online);
    SetMachine(MachineId::OnlineTimer, onlineTimer);
    SetMachine(MachineId::Offline, offline);
    SetMachine(MachineId::OfflineTimer, offlineTimer);

    const CompileResult result = Compile();
    ASSERT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    const Bytes& image = result.image;
    const int onlineSize = 17 + 4 + 1;
    const int offlineSize = 8 + 1;
    const int offlineAt = 12266 + onlineSize;
    const int offlineScreensAt = offlineAt + offlineSize;
    const int onlineScreensAt = offlineScreensAt + 160;
    ASSERT_EQ(image.size(), size_t(onlineScreensAt + 160 + 4));
    EXPECT_EQ(image[0], 0xAA);
    EXPECT_EQ(image[1], 0xAA);
    EXPECT_EQ(image[607], 42);
    EXPECT_EQ(std::string(image.begin() + 2604, image.begin() + 2608), "V2.3");
    EXPECT_EQ(ImageWord(image, image::kOnlineTimerTicks), 20);
    EXPECT_EQ(ImageWord(image, image::kOnlineTimerBase), 2);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerTicks), 4);
    EXPECT_EQ(ImageWord(image, image::kOfflineTimerBase), 1);
    EXPECT_EQ(std::string(image.begin() + 2634, image.begin() + 2639), "LABEL");
    // State numbers 1 and 2 run table indexes 0 and 1.
    EXPECT_EQ(ImageWord(image, image::kOnlineStateTable + 2), 0);
    EXPECT_EQ(ImageWord(image, image::kOnlineStateTable + 4), 1);
    // The Online jump table: item 2 at 17, the timer's entry (index 2) at 21.
    EXPECT_EQ(ImageWord(image, image::kOnlineJumpTable + 2), 17);
    EXPECT_EQ(ImageWord(image, image::kOnlineJumpTable + 4), 21);
    EXPECT_EQ(ImageWord(image, image::kOfflineJumpTable + 2), 8);
    EXPECT_EQ(image[12266], 57);
    EXPECT_EQ(ImageWord(image, image::kOfflineCodeOffset), offlineAt);
    EXPECT_EQ(image[size_t(offlineAt)], 129);
    EXPECT_EQ(image[size_t(offlineAt + 8)], 254);
    EXPECT_EQ(ImageWord(image, image::kOfflineScreensOffset), offlineScreensAt);
    EXPECT_EQ(image[image::kOfflineScreenCount], 1);
    EXPECT_EQ(std::string(image.begin() + offlineScreensAt, image.begin() + offlineScreensAt + 7), "PRESS E");
    EXPECT_EQ(Image24(image, image::kOnlineScreensOffset), onlineScreensAt);
    EXPECT_EQ(image[image::kOnlineScreenCount], 1);
    EXPECT_EQ(std::string(image.begin() + onlineScreensAt, image.begin() + onlineScreensAt + 6), "COUNT?");
    EXPECT_TRUE(ImageChecksumValid(image));
    EXPECT_EQ(readFile(result.imagePath), std::string(image.begin(), image.end()));
}

TEST_F(CompileProjectTest, ErrorsInTimerMachineStopBeforeOffline)
{
    Machine online;
    AddGetSeq(online, 1, 1);
    Machine timer;
    timer.add<TItcGetTime>(1);  // no target, no Next
    SetMachine(MachineId::Online, online);
    SetMachine(MachineId::OnlineTimer, timer);
    // Compiling the Offline machine would show this line's message.
    project.machineText(MachineId::Offline) = {"not a record"};
    writeFile(dir.path("stock.ITF"), "old image");

    const CompileResult result = Compile();
    ASSERT_EQ(result.outcome, CompileOutcome::ErrorsInMachine);
    EXPECT_EQ(result.machine, MachineId::OnlineTimer);
    EXPECT_EQ(result.errors.records(),
              (std::vector<ErrorRecord>{{1, ErrTargetNotSelected}, {1, ErrNextNotConnected}}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(readFile(dir.path("stock.ITF")), "old image");
}

TEST_F(CompileProjectTest, BadLinesAreReportedAndSkipped)
{
    project.machineText(MachineId::Offline) = {"not a record"};
    const CompileResult result = Compile();
    EXPECT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    EXPECT_EQ(messages.errors(), (std::vector<std::string>{"Incorrect data.  File is corrupted.  Data is ignored."}));
}

TEST_F(CompileProjectTest, UnreadableMachineTextFails)
{
    Machine offline;
    AddGetSeq(offline, 1, 1);
    SetMachine(MachineId::Offline, offline);
    std::string& line = project.machineText(MachineId::Offline)[0];
    line.replace(line.find("#id=1"), 5, "#id=1001");
    const CompileResult result = Compile();
    EXPECT_EQ(result.outcome, CompileOutcome::CompileFailed);
    EXPECT_EQ(result.reason, "Offline: line 1 of the machine text: item id 1001 is outside 1..1000");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("stock.ITF"))));
}

TEST_F(CompileProjectTest, LimitFailureSaysWhere)
{
    Machine online;
    AddGetSeq(online, 1, 1);
    auto& flash = online.add<TItcWriteToFlash>(2);
    flash.tag = 300;
    SetMachine(MachineId::Online, online);
    const CompileResult result = Compile();
    EXPECT_EQ(result.outcome, CompileOutcome::CompileFailed);
    EXPECT_EQ(result.reason, "Online: item 2: tag 300 does not fit in one byte (0..255)");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CompileProjectTest, LabelThatDoesNotCompileKeepsItsMessageOutOfTheImage)
{
    // Opening such a project leaves the label's failure message where the
    // compiled label would be.
    project.labelText = "#1#cnt=0\\";
    project.labelData = "Label File open error.";
    const CompileResult result = Compile();
    EXPECT_EQ(result.outcome, CompileOutcome::CompileFailed);
    EXPECT_EQ(result.reason, "the label does not compile: Label File open error.");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("stock.ITF"))));
    const ProjectCheck check = CheckProject(project, CompileSettings::ForProject(project), messages);
    EXPECT_EQ(check.imageFailure, "the label does not compile: Label File open error.");
}

TEST_F(CompileProjectTest, LabelEmptiedByAFailedLabelCompileLeavesNoLabel)
{
    // The label window empties the compiled label when its compile fails and
    // says so; the image then goes without a label.
    project.labelText = "#1#cnt=0\\";
    project.labelData.clear();
    const CompileResult result = Compile();
    ASSERT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    EXPECT_EQ(result.image.size(), 12270u);
    EXPECT_EQ(result.image[image::kLabelData], 0);
}

TEST_F(CompileProjectTest, CodeTooLargeForTheOfflineOffsets)
{
    // Two machines of 1000 StrCpy of a constant: 62000 bytes of code.
    for (MachineId id : {MachineId::Online, MachineId::Offline}) {
        Machine m;
        for (int i = 1; i <= 1000; ++i) {
            auto& s = m.add<TItcStrCopy>(i);
            s.target = 1;
            s.nextTarget = 1;
        }
        SetMachine(id, m);
    }
    const CompileResult result = Compile();
    EXPECT_EQ(result.outcome, CompileOutcome::CompileFailed);
    EXPECT_NE(result.reason.find("beyond the image's 16-bit limit"), std::string::npos) << result.reason;
}

TEST_F(CompileProjectTest, ImageThatCannotBeCreatedIsAFailure)
{
    project.projectFileName = dir.path("missing/stock.zmk");
    const CompileResult result = Compile();
    EXPECT_EQ(result.outcome, CompileOutcome::CompileFailed);
    EXPECT_EQ(messages.errors(), (std::vector<std::string>{"Could not create the file..."}));
    EXPECT_NE(result.reason.find("could not create the image file " + dir.path("missing/stock.ITF")),
              std::string::npos)
        << result.reason;
}

TEST_F(CompileProjectTest, ExplicitImagePathAndInMemoryCompile)
{
    CompileSettings settings = CompileSettings::ForProject(project);
    settings.imagePath = dir.path("out.bin");
    const CompileResult written = CompileProject(project, settings, messages);
    ASSERT_EQ(written.outcome, CompileOutcome::ImageWritten);
    EXPECT_EQ(written.imagePath, dir.path("out.bin"));
    EXPECT_EQ(readFile(dir.path("out.bin")).size(), 12270u);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("stock.ITF"))));

    settings.imagePath = dir.path("never.bin");
    const CompileResult inMemory = CompileProjectImage(project, settings, messages);
    ASSERT_EQ(inMemory.outcome, CompileOutcome::ImageWritten);
    EXPECT_EQ(inMemory.image, written.image);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("never.bin"))));
}

TEST_F(CompileProjectTest, NoProjectOpen)
{
    project.closeProject();
    EXPECT_EQ(Compile().outcome, CompileOutcome::CompileFailed);
}

TEST_F(CompileProjectTest, CheckGoesOnAfterErrorsAndFailures)
{
    Machine online;
    online.add<TItcGetSequence>(4);  // no target, no Next
    Machine onlineTimer;
    onlineTimer.add<TItcTmrReturn>(1);
    Machine offline;
    offline.add<TItcWriteToFlash>(2).tag = 256;
    Machine offlineTimer;
    offlineTimer.add<TItcWdt>(3);
    SetMachine(MachineId::Online, online);
    SetMachine(MachineId::OnlineTimer, onlineTimer);
    SetMachine(MachineId::Offline, offline);
    SetMachine(MachineId::OfflineTimer, offlineTimer);

    const ProjectCheck check = CheckProject(project, CompileSettings::ForProject(project), messages);
    EXPECT_TRUE(check.hasErrors());
    EXPECT_TRUE(check.hasFailures());
    EXPECT_EQ(check.machines[0].machine, MachineId::Online);
    EXPECT_EQ(check.machines[0].errors.records(),
              (std::vector<ErrorRecord>{{4, ErrTargetNotSelected}, {4, ErrNextNotConnected}}));
    EXPECT_EQ(check.machines[1].machine, MachineId::OnlineTimer);
    EXPECT_TRUE(check.machines[1].errors.empty());
    EXPECT_EQ(check.machines[2].machine, MachineId::Offline);
    EXPECT_EQ(check.machines[2].failure, "Offline: item 2: tag 256 does not fit in one byte (0..255)");
    EXPECT_EQ(check.machines[3].machine, MachineId::OfflineTimer);
    EXPECT_EQ(check.machines[3].errors.count(), 4);
    EXPECT_FALSE(check.imageFailure);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("stock.ITF"))));
}

TEST_F(CompileProjectTest, CheckLooksAtTheImageLimitsOfACleanProject)
{
    project.onlineTimerInterval = 2000000;
    Machine online;
    online.add<TItcTmrReturn>(1);
    Machine timer;
    timer.add<TItcTmrReturn>(1);
    SetMachine(MachineId::Online, online);
    SetMachine(MachineId::OnlineTimer, timer);
    const ProjectCheck check = CheckProject(project, CompileSettings::ForProject(project), messages);
    EXPECT_FALSE(check.hasErrors());
    ASSERT_TRUE(check.imageFailure);
    EXPECT_EQ(*check.imageFailure, "Online/Timer: timer interval 2000000 is too long for the image (at most 1638399)");
}

} // namespace
} // namespace qvt::test
