#include "label/label_compiler.h"
#include "label/label_text.h"
#include "fake_lp.h"
#include "label_samples.h"
#include "qvt_runner.h"
#include "test_files.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

QvtRun runLabel(const QStringList& args)
{
    return runQvt(QStringList{"label"} + args);
}

// The sample project with its last line, the label text, replaced.
std::string projectWithLabel(const TempDir& dir, const std::string& name, const std::string& labelText)
{
    std::string bytes = readFile(sourcePath("examples/stockcount.zmk"));
    size_t lastLine = bytes.rfind("\r\n", bytes.size() - 3);
    const std::string path = dir.path(name);
    writeFile(path, bytes.substr(0, lastLine + 2) + labelText + "\r\n");
    return path;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TEST(LabelCommand, WritesDataAndStream)
{
    TempDir dir;
    VariableTable vars = resetTable();
    const std::string text = BuildLabelText(sampleProjectDesign(), vars);
    const std::string project = projectWithLabel(dir, "p.zmk", text);
    QvtRun r = runLabel({q(project), "--data", q(dir.path("d.bin")), "--stream", q(dir.path("s.bin"))});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string data, stream;
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Image, data));
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Print, stream));
    EXPECT_EQ(readFile(dir.path("d.bin")), data);
    EXPECT_EQ(readFile(dir.path("s.bin")), stream);
    EXPECT_NE(r.out.find("3 variable insertions"), std::string::npos) << r.out;
}

TEST(LabelCommand, PrintsToDevicesAndQueues)
{
    TempDir dir;
    VariableTable vars = resetTable();
    const std::string text = BuildLabelText(sampleProjectDesign(), vars);
    const std::string project = projectWithLabel(dir, "p.zmk", text);
    std::string stream;
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Print, stream));

    writeFile(dir.path("lp0"), "");
    EXPECT_EQ(runLabel({q(project), "--print", q(dir.path("lp0"))}).exitCode, 0);
    EXPECT_EQ(readFile(dir.path("lp0")), stream);

    writeFile(dir.path("ttyS9"), "");
    EXPECT_EQ(runLabel({q(project), "--print", "COM1:", "--com1", q(dir.path("ttyS9"))}).exitCode, 0);
    EXPECT_EQ(readFile(dir.path("ttyS9")), stream);

    // A stand-in lp first on the PATH takes the queue's data.
    FakeLp lp;
    QvtRun r = runLabel({q(project), "--print", "cups:Labels"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(lp.args(), "-d\nLabels\n-o\nraw\n");
    EXPECT_EQ(lp.input(), stream);
}

TEST(LabelCommand, ExitCodes)
{
    TempDir dir;
    const std::string good = projectWithLabel(dir, "good.zmk", BuildLabelText(sampleProjectDesign(), resetTable()));
    const std::string broken = projectWithLabel(dir, "broken.zmk", "#1#cnt=1\\#Tip=Yazi\\");
    struct Row { const char* what; QStringList args; int code; const char* says; };
    const Row rows[] = {
        {"help", {"--help"}, 0, ""},
        {"no project", {}, 2, "qvt label: missing PROJECT.zmk\nusage: qvt label"},
        {"unknown option", {q(good), "--colour"}, 2, "qvt label: unknown option --colour"},
        {"option without value", {q(good), "--data"}, 2, "qvt label: --data needs a value"},
        {"two projects", {q(good), q(good)}, 2, "qvt label: unexpected argument"},
        {"missing project", {q(dir.path("none.zmk"))}, 2, "Error while loading file."},
        {"broken label", {q(broken), "--data", q(dir.path("x.bin"))}, 1, "Label File open error."},
        {"unwritable output", {q(good), "--stream", q(dir.path("no/dir/s.bin"))}, 2, "cannot write"},
        {"missing printer", {q(good), "--print", q(dir.path("no-lp0"))}, 2, "cannot print"},
        {"compile only", {q(good)}, 0, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        QvtRun run = runLabel(r.args);
        EXPECT_EQ(run.exitCode, r.code) << run.err;
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(QFile::exists(q(dir.path("x.bin"))));
    EXPECT_FALSE(QFile::exists(q(dir.path("no-lp0"))));
}
