// The front every `qvt` command shares: help, usage and bad arguments.
#include "qvt_runner.h"

#include <gtest/gtest.h>

#include <string>

namespace qvt::test {
namespace {

const char* const kCommands[] = {"compile", "check", "label", "upload", "ports", "simulate", "render"};

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

// The usage line(s) at the top of `qvt COMMAND --help`.
std::string UsageOf(const char* command)
{
    const QvtRun help = runQvt({command, "--help"});
    return help.out.substr(0, help.out.find("\n\n") + 1);
}

TEST(CommandLine, EveryCommandHasHelp)
{
    const QvtRun tool = runQvt({"--help"});
    EXPECT_EQ(tool.exitCode, 0);
    EXPECT_EQ(tool.err, "");
    for (const char* command : kCommands) {
        SCOPED_TRACE(command);
        EXPECT_NE(tool.out.find(std::string("\n  ") + command + " "), std::string::npos) << tool.out;

        const QvtRun help = runQvt({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_TRUE(StartsWith(help.out, std::string("usage: qvt ") + command)) << help.out;
        EXPECT_NE(help.out.find("\n  -h, --help "), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("\nExit status: 0 "), std::string::npos) << help.out;
        EXPECT_EQ(runQvt({command, "-h"}).out, help.out);
        EXPECT_EQ(runQvt({"help", command}).out, help.out);
    }
}

// Every command: "qvt COMMAND: REASON", its usage line, exit status 2, and
// nothing done.
TEST(CommandLine, BadArgumentsGiveTheSameFormInEveryCommand)
{
    struct Case {
        QStringList args;
        const char* reason;
    } cases[] = {
        {{"compile", "--no-such-option", "a.zmk"}, "unknown option --no-such-option"},
        {{"compile", "a.zmk", "-x"}, "unknown option -x"},
        {{"compile", "a.zmk", "--output"}, "--output needs a value"},
        {{"check"}, "missing PROJECT.zmk"},
        {{"check", "a.zmk", "b.zmk"}, "unexpected argument b.zmk"},
        {{"label", "--no-such-option", "a.zmk"}, "unknown option --no-such-option"},
        {{"label", "a.zmk", "--print"}, "--print needs a value"},
        {{"upload", "--no-such-option", "a.ITF", "--port", "p"}, "unknown option --no-such-option"},
        {{"upload", "a.ITF"}, "--port is required"},
        {{"upload", "--port", "p"}, "missing IMAGE.ITF"},
        {{"upload", "a.ITF", "--port", "p", "--fast=yes"}, "--fast takes no value"},
        {{"upload", "a.ITF", "--port", "p", "--speed", "14400"},
         "--speed must be one of 9600, 19200, 38400, 57600, 115200"},
        {{"upload", "a.ITF", "--port", "p", "--address", "256"}, "--address must be a number from 1 to 255"},
        {{"ports", "--no-such-option"}, "unknown option --no-such-option"},
        {{"ports", "ttyS0"}, "unexpected argument ttyS0"},
        {{"simulate", "--no-such-option"}, "unknown option --no-such-option"},
        {{"simulate", "--delay", "-1"}, "--delay must be a number of milliseconds from 0 to 60000"},
        {{"simulate", "--reject-block", "x"}, "--reject-block must be a block number from 1"},
    };
    for (const Case& c : cases) {
        const std::string command = c.args.first().toStdString();
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QvtRun run = runQvt(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "qvt " + command + ": " + c.reason + "\n" + UsageOf(command.c_str()));
    }
}

TEST(CommandLine, TheToolItself)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* outStart;
        const char* errStart;
    } cases[] = {
        {{}, 2, "", "usage: qvt COMMAND"},
        {{"compiel", "a.zmk"}, 2, "", "qvt: unknown command 'compiel'\nusage: qvt COMMAND"},
        {{"help"}, 0, "usage: qvt COMMAND", ""},
        {{"--version"}, 0, "qvt ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QvtRun run = runQvt(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(StartsWith(run.out, c.outStart)) << run.out;
        EXPECT_TRUE(StartsWith(run.err, c.errStart)) << run.err;
    }
}

// After "--" a name that starts with a dash is a file, not an option.
TEST(CommandLine, ArgumentsAfterDoubleDashAreFiles)
{
    const QvtRun run = runQvt({"check", "--", "-stock.zmk"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "-stock.zmk: Error while loading file.\n");
}

} // namespace
} // namespace qvt::test
