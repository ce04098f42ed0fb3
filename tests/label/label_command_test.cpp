#include "label/label_compiler.h"
#include "label/label_text.h"
#include "label_samples.h"
#include "test_files.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

CliRun runQvt(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QVT_CLI), QStringList{"label"} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
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
    CliRun r = runQvt({q(project), "--data", q(dir.path("d.bin")), "--stream", q(dir.path("s.bin"))});
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
    EXPECT_EQ(runQvt({q(project), "--print", q(dir.path("lp0"))}).exitCode, 0);
    EXPECT_EQ(readFile(dir.path("lp0")), stream);

    writeFile(dir.path("ttyS9"), "");
    EXPECT_EQ(runQvt({q(project), "--print", "COM1:", "--com1", q(dir.path("ttyS9"))}).exitCode, 0);
    EXPECT_EQ(readFile(dir.path("ttyS9")), stream);

    // A stand-in lp first on the PATH takes the queue's data.
    writeFile(dir.path("lp"), "#!/bin/sh\necho \"$*\" > '" + dir.path("lp.args") + "'\ncat > '" +
                                  dir.path("lp.data") + "'\n");
    QFile::setPermissions(q(dir.path("lp")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", q(dir.path("")) + ":" + env.value("PATH"));
    CliRun r = runQvt({q(project), "--print", "cups:Labels"}, env);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("lp.args")), "-d Labels -o raw\n");
    EXPECT_EQ(readFile(dir.path("lp.data")), stream);
}

TEST(LabelCommand, ExitCodes)
{
    TempDir dir;
    const std::string good = projectWithLabel(dir, "good.zmk", BuildLabelText(sampleProjectDesign(), resetTable()));
    const std::string broken = projectWithLabel(dir, "broken.zmk", "#1#cnt=1\\#Tip=Yazi\\");
    struct Row { const char* what; QStringList args; int code; const char* says; };
    const Row rows[] = {
        {"help", {"--help"}, 0, ""},
        {"no project", {}, 2, "usage"},
        {"unknown option", {q(good), "--colour"}, 2, "unknown option"},
        {"option without value", {q(good), "--data"}, 2, "needs a value"},
        {"two projects", {q(good), q(good)}, 2, "only one project"},
        {"missing project", {q(dir.path("none.zmk"))}, 2, "Error while loading file."},
        {"broken label", {q(broken), "--data", q(dir.path("x.bin"))}, 1, "Label File open error."},
        {"unwritable output", {q(good), "--stream", q(dir.path("no/dir/s.bin"))}, 2, "cannot write"},
        {"missing printer", {q(good), "--print", q(dir.path("no-lp0"))}, 2, "cannot print"},
        {"compile only", {q(good)}, 0, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        CliRun run = runQvt(r.args);
        EXPECT_EQ(run.exitCode, r.code) << run.err;
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(QFile::exists(q(dir.path("x.bin"))));
    EXPECT_FALSE(QFile::exists(q(dir.path("no-lp0"))));
}
