#include "core/atomic_file.h"

#include "test_files.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <optional>
#include <string>

using namespace qvt;
using namespace qvt::test;

namespace {

struct WriteOutcome {
    bool written = false;
    FileWriteFailure failure;
};

// Writes in a forked child that may write no more than `limit` bytes into any
// file, as on a full disk (root is not exempt); the parent keeps its own limit
// whatever happens in the child.
std::optional<WriteOutcome> WriteWithFileSizeLimit(const std::string& path, const std::string& bytes, rlim_t limit)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        close(pipeEnds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = std::min(limit, small.rlim_max);
        if (setrlimit(RLIMIT_FSIZE, &small) != 0)
            _exit(2);
        FileWriteFailure failure;
        const bool written = WriteFileAtomically(path, bytes, &failure);
        // One byte each for the outcome and createFailed, then the reason.
        std::string report{char(written), char(failure.createFailed)};
        report += failure.reason;
        const bool sent = write(pipeEnds[1], report.data(), report.size()) == ssize_t(report.size());
        _exit(sent ? 0 : 3);
    }
    close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.size() < 2)
        return std::nullopt;
    WriteOutcome outcome;
    outcome.written = report[0] != 0;
    outcome.failure.createFailed = report[1] != 0;
    outcome.failure.reason = report.substr(2);
    return outcome;
}

QStringList FilesIn(const TempDir& dir)
{
    return QDir(QString::fromStdString(dir.path(""))).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

TEST(WriteFileAtomically, AWriteThatFailsPartWayLeavesTheOldFileWholeAndNothingBeside)
{
    const std::string oldBytes = "old contents\r\n" + std::string(3000, 'o');
    const struct {
        const char* what;
        bool oldFileThere;
        size_t newSize;
        rlim_t limit;
    } cases[] = {
        {"not a single byte may be written", true, 100, 0},
        {"the first byte only", true, 100, 1},
        {"one byte short", true, 4096, 4095},
        {"stops inside a large file", true, 1 << 20, 64 << 10},
        {"the old file is larger than the limit", true, 5000, 1000},
        {"no old file", false, 4096, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.path("target.bin");
        if (c.oldFileThere)
            writeFile(path, oldBytes);
        std::string newBytes(c.newSize, '\0');
        for (size_t i = 0; i < newBytes.size(); ++i)
            newBytes[i] = char('a' + i % 26);

        const std::optional<WriteOutcome> outcome = WriteWithFileSizeLimit(path, newBytes, c.limit);
        ASSERT_TRUE(outcome.has_value()) << "the writing child did not report";
        EXPECT_FALSE(outcome->written);
        EXPECT_FALSE(outcome->failure.createFailed);
        EXPECT_FALSE(outcome->failure.reason.empty());
        if (c.oldFileThere) {
            EXPECT_EQ(readFile(path), oldBytes);
            EXPECT_EQ(FilesIn(dir), QStringList{"target.bin"});
        } else {
            EXPECT_EQ(FilesIn(dir), QStringList{});
        }
    }
}

TEST(WriteFileAtomically, WritesThatFitReplaceTheFileWhole)
{
    const struct {
        const char* what;
        std::string oldBytes; // empty: no old file
        size_t newSize;
        rlim_t limit;
    } cases[] = {
        {"exactly at the limit", "old", 4096, 4096},
        {"a new file", "", 10, RLIM_INFINITY},
        {"empty over a longer file", std::string(5000, 'x'), 0, RLIM_INFINITY},
        {"every byte value", "old", 256 * 4, RLIM_INFINITY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.path("target.bin");
        if (!c.oldBytes.empty())
            writeFile(path, c.oldBytes);
        std::string newBytes(c.newSize, '\0');
        for (size_t i = 0; i < newBytes.size(); ++i)
            newBytes[i] = char(i % 256);

        const std::optional<WriteOutcome> outcome = WriteWithFileSizeLimit(path, newBytes, c.limit);
        ASSERT_TRUE(outcome.has_value()) << "the writing child did not report";
        EXPECT_TRUE(outcome->written) << outcome->failure.reason;
        EXPECT_EQ(readFile(path), newBytes);
        EXPECT_EQ(FilesIn(dir), QStringList{"target.bin"});
    }
}

TEST(WriteFileAtomically, AFileThatCannotBeCreatedSaysSo)
{
    TempDir dir;
    FileWriteFailure failure;
    EXPECT_FALSE(WriteFileAtomically(dir.path("no/such/folder/target.bin"), "bytes", &failure));
    EXPECT_TRUE(failure.createFailed);
    EXPECT_FALSE(failure.reason.empty());
    // Without a place for the reason the answer is the same.
    EXPECT_FALSE(WriteFileAtomically(dir.path("no/such/folder/target.bin"), "bytes"));
    EXPECT_EQ(FilesIn(dir), QStringList{});
}
