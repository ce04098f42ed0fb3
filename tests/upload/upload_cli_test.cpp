#include "qvt_runner.h"
#include "test_files.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <random>

namespace {

// `qvt simulate` and `qvt upload` as a user runs them; the exit code tells
// scripts whether every block was accepted.

using qvt::test::QvtRun;

class Cli : public ::testing::Test {
protected:
    // Starts the simulator and returns its device, read from its first line.
    std::string startSimulator(const QStringList& options)
    {
        simulator_.setProgram(qvt::test::qvtProgram());
        simulator_.setArguments(QStringList{"simulate", "--once", "--quiet"} + options);
        simulator_.start();
        EXPECT_TRUE(simulator_.waitForStarted(10000));
        while (!simulator_.canReadLine() && simulator_.waitForReadyRead(10000)) {
        }
        return simulator_.readLine().trimmed().toStdString();
    }
    QvtRun upload(const QStringList& args) { return qvt::test::runQvt(QStringList{"upload"} + args); }
    void TearDown() override
    {
        if (simulator_.state() != QProcess::NotRunning) {
            if (!simulator_.waitForFinished(5000)) {
                simulator_.terminate();
                simulator_.waitForFinished(5000);
            }
        }
    }

    qvt::test::TempDir dir_;
    QProcess simulator_;
};

std::string imageBytes(std::size_t size)
{
    std::mt19937 random(5);
    std::string image(size, '\0');
    for (char& c : image)
        c = char(random() % 3 == 0 ? 0xAA : random() & 0xFF);
    return image;
}

TEST_F(Cli, UploadsToTheSimulatorAndExitsWithZero)
{
    const std::string image = imageBytes(700);
    qvt::test::writeFile(dir_.path("a.ITF"), image);
    const std::string device = startSimulator({"--address", "85", "--dump", QString::fromStdString(dir_.path("got.bin"))});
    ASSERT_FALSE(device.empty());
    const QvtRun run = upload({QString::fromStdString(dir_.path("a.ITF")), "--port", QString::fromStdString(device),
                            "--address", "85", "--fast"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Upload Completed"), std::string::npos) << run.out;
    ASSERT_TRUE(simulator_.waitForFinished(10000));
    const std::string got = qvt::test::readFile(dir_.path("got.bin"));
    EXPECT_EQ(got, image + std::string(704 - 700, '\0'));
}

TEST_F(Cli, ExitsWithOneWhenABlockIsRejected)
{
    qvt::test::writeFile(dir_.path("a.ITF"), imageBytes(700));
    const std::string device = startSimulator({"--reject-block", "4"});
    const QvtRun run = upload({QString::fromStdString(dir_.path("a.ITF")), "--port", QString::fromStdString(device),
                            "--fast"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Could not write to Flash."), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Upload Completed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("3 of 11 blocks accepted"), std::string::npos) << run.out;
}

TEST_F(Cli, RefusesBadArgumentsAndMissingPorts)
{
    qvt::test::writeFile(dir_.path("a.ITF"), imageBytes(10));
    const QString image = QString::fromStdString(dir_.path("a.ITF"));
    EXPECT_EQ(upload({image}).exitCode, 2);
    EXPECT_EQ(upload({image, "--port", "ttyQVT0", "--speed", "14400"}).exitCode, 2);
    EXPECT_EQ(upload({image, "--port", "ttyQVT0", "--address", "0"}).exitCode, 2);
    const QvtRun missing = upload({image, "--port", "/dev/qvt-no-such-port"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("qvt upload: Could not open Com port.\n"), std::string::npos) << missing.err;
}

} // namespace
