// `qvt compile` and `qvt check` on project files, run as the built tool.
#include "compile_fixture.h"

#include "compiler/compile_driver.h"
#include "project/project_file.h"
#include "qvt_runner.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <string>

namespace qvt::test {
namespace {

QString Q(const std::string& path)
{
    return QString::fromStdString(path);
}

bool Exists(const std::string& path)
{
    return QFileInfo::exists(Q(path));
}

class CliTest : public testing::Test {
protected:
    CliTest()
    {
        ScriptedMessages messages;
        const std::string sample = sourcePath("examples/stockcount.zmk");
        EXPECT_EQ(LoadProjectFile(sample, project, messages), LoadResult::Opened) << messages.transcript();
    }

    std::string Save(const std::string& name)
    {
        const std::string path = dir.path(name);
        EXPECT_TRUE(WriteProjectFile(path, project));
        return path;
    }

    void AddToMachine(MachineId id, Machine& machine)
    {
        // The sample's items stay; the test's ids lie beyond them.
        MachineText combined = project.machineText(id);
        MachineText added;
        ASSERT_TRUE(machine.list.SaveToMachineText(added));
        combined.insert(combined.end(), added.begin(), added.end());
        project.machineText(id) = combined;
    }

    TempDir dir;
    ProjectState project;
};

TEST_F(CliTest, CompilesTheSampleProject)
{
    const std::string path = Save("stock.zmk");
    const QvtRun run = runQvt({"compile", Q(path)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string image = dir.path("stock.ITF");
    const std::string bytes = readFile(image);
    const Bytes imageBytes(bytes.begin(), bytes.end());
    EXPECT_TRUE(ImageChecksumValid(imageBytes));
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "0x%04X", unsigned(ImageChecksum(imageBytes)));
    EXPECT_EQ(run.out, path + ": wrote " + image + ", " + std::to_string(bytes.size()) + " bytes, checksum " +
                           checksum + "\n");

    // The same image the designer's compile gives.
    ScriptedMessages messages;
    const CompileResult designer = CompileProjectImage(project, CompileSettings::ForProject(project), messages);
    ASSERT_EQ(designer.outcome, CompileOutcome::ImageWritten) << designer.reason;
    EXPECT_EQ(designer.image, imageBytes);

    const QvtRun check = runQvt({"check", Q(path)});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out, path + ": no errors\n");
}

TEST_F(CliTest, OutputOption)
{
    const QString project = Q(Save("stock.zmk"));
    const QString image = Q(dir.path("image.bin"));
    const QStringList forms[] = {
        {project, "-o", image}, {project, "--output", image}, {project, "--output=" + image}, {project, "-o" + image},
        {"-o", image, project},
    };
    for (const QStringList& args : forms) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QFile::remove(image);
        const QvtRun run = runQvt(QStringList{"compile"} + args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(QFile::exists(image));
    }
    EXPECT_FALSE(Exists(dir.path("stock.ITF")));
}

TEST_F(CliTest, ItemErrorsOfTheFirstMachineWithErrors)
{
    Machine online;
    online.add<TItcGetSequence>(900).target = 31;
    Machine offline;
    offline.add<TItcWdt>(901);
    AddToMachine(MachineId::Online, online);
    AddToMachine(MachineId::Offline, offline);
    const std::string path = Save("broken.zmk");

    const QvtRun run = runQvt({"compile", Q(path)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, path + ": Online: item 900: Target must be selected\n" + path +
                           ": Online: item 900: [Next] Connection must be defined\n");
    EXPECT_FALSE(Exists(dir.path("broken.ITF")));

    const QvtRun check = runQvt({"check", Q(path)});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.out, "");
    EXPECT_EQ(check.err, path + ": Online: item 900: Target must be selected\n" +              //
                             path + ": Online: item 900: [Next] Connection must be defined\n" +  //
                             path + ": Offline: item 901: Start Time must be selected\n" +       //
                             path + ": Offline: item 901: Increment must be selected\n" +        //
                             path + ": Offline: item 901: Flag must be selected\n" +             //
                             path + ": Offline: item 901: [Next] Connection must be defined\n");
    EXPECT_FALSE(Exists(dir.path("broken.ITF")));
}

TEST_F(CliTest, ExceededLimitSaysWhichAndWhere)
{
    Machine offline;
    auto& flash = offline.add<TItcWriteToFlash>(950);
    flash.tag = 300;
    AddToMachine(MachineId::Offline, offline);
    const std::string path = Save("limit.zmk");
    const std::string expected = path + ": Offline: item 950: tag 300 does not fit in one byte (0..255)\n";

    const QvtRun run = runQvt({"compile", Q(path)});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, expected);
    EXPECT_FALSE(Exists(dir.path("limit.ITF")));

    // The check also lists the item errors of the same machine.
    const QvtRun check = runQvt({"check", Q(path)});
    EXPECT_EQ(check.exitCode, 2);
    EXPECT_NE(check.err.find(expected), std::string::npos) << check.err;
}

TEST_F(CliTest, ImageThatCannotBeWritten)
{
    const std::string path = Save("stock.zmk");
    const QvtRun run = runQvt({"compile", Q(path), "-o", Q(dir.path("missing/stock.ITF"))});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(path + ": Could not create the file...\n" + path + ": could not create the image file " +
                                dir.path("missing/stock.ITF"),
                            0),
              0u)
        << run.err;
}

TEST_F(CliTest, FailedWriteLeavesTheOldImageWhole)
{
    // A file size limit of 4096 bytes makes writing the 12270-byte image fail
    // half-way (with SIGXFSZ ignored, the write reports the error).
    const std::string path = Save("stock.zmk");
    const std::string image = dir.path("stock.ITF");
    writeFile(image, "old image");
    QProcess p;
    p.start("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 8; exec \"$0\" compile \"$1\"", qvtProgram(), Q(path)});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_EQ(err.rfind(path + ": writing the image file " + image + " failed: ", 0), 0u) << err;
    EXPECT_EQ(readFile(image), "old image");
    EXPECT_EQ(QDir(Q(dir.path(""))).entryList(QDir::Files).size(), 2);  // no temporary file left
}

TEST_F(CliTest, UnreadableProject)
{
    writeFile(dir.path("old.zmk"), "V100\r\n");
    struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        {dir.path("absent.zmk"), "Error while loading file."},
        {dir.path("old.zmk"), "Incorrect version or file format."},
    };
    for (const Case& c : cases) {
        for (const char* command : {"compile", "check"}) {
            const QvtRun run = runQvt({command, Q(c.path)});
            EXPECT_EQ(run.exitCode, 2) << command;
            EXPECT_EQ(run.err, c.path + ": " + c.message + "\n") << command;
            EXPECT_EQ(run.out, "") << command;
        }
    }
    EXPECT_FALSE(Exists(dir.path("old.ITF")));
}

TEST(Cli, HelpAndBadArguments)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* outStart;
        const char* errStart;
    } cases[] = {
        {{"compile", "--help"}, 0, "usage: qvt compile PROJECT.zmk [-o IMAGE]", ""},
        {{"check", "-h"}, 0, "usage: qvt check PROJECT.zmk", ""},
        {{"compile"}, 2, "", "qvt compile: missing PROJECT.zmk\nusage: qvt compile"},
        {{"check", "a.zmk", "b.zmk"}, 2, "", "qvt check: unexpected argument b.zmk"},
        {{"check", "a.zmk", "-o", "x"}, 2, "", "qvt check: unknown option -o"},
        {{"compile", "a.zmk", "-o"}, 2, "", "qvt compile: -o needs a value"},
        {{"compile", "--verbose", "a.zmk"}, 2, "", "qvt compile: unknown option --verbose"},
    };
    for (const Case& c : cases) {
        const QvtRun run = runQvt(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_EQ(run.out.rfind(c.outStart, 0), 0u) << what << ": " << run.out;
        EXPECT_EQ(run.err.rfind(c.errStart, 0), 0u) << what << ": " << run.err;
    }
}

} // namespace
} // namespace qvt::test
