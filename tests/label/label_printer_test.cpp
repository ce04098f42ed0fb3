#include "label/label_printer.h"
#include "fake_lp.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <QFile>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;
using namespace std::string_literals;

namespace {

const std::string kStream = "\x02KI7"s + '\0' + "\r1911101\xFE\xFF\r";

class RecordingOutput : public PrinterOutput {
public:
    bool Send(std::string_view target, std::string_view stream, std::string& detail) override
    {
        targets.emplace_back(target);
        streams.emplace_back(stream);
        if (!succeed)
            detail = "offline";
        return succeed;
    }
    bool succeed = true;
    std::vector<std::string> targets;
    std::vector<std::string> streams;
};

} // namespace

TEST(TestPrint, PortsLeadWhereTheMapSays)
{
    PrinterPortMap ports;
    EXPECT_EQ(ports.lpt1, "/dev/usb/lp0");
    EXPECT_EQ(ports.com1, "/dev/ttyS0");
    ports.com1 = "cups:Zebra";

    struct Row { PrinterPort port; const char* target; const char* message; };
    const Row rows[] = {
        {PrinterPort::LPT1, "/dev/usb/lp0", "LPT1: portuna eri\xFEimde hata olu\xFEtu."},
        {PrinterPort::COM1, "cups:Zebra", "COM1: portuna eri\xFEimde hata olu\xFEtu."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.target);
        RecordingOutput output;
        ScriptedMessages messages;
        EXPECT_TRUE(PrintToPort(kStream, r.port, ports, output, messages));
        EXPECT_EQ(output.targets, std::vector<std::string>{r.target});
        EXPECT_EQ(output.streams, std::vector<std::string>{kStream});
        EXPECT_EQ(messages.transcript(), "");

        output.succeed = false;
        EXPECT_FALSE(PrintToPort(kStream, r.port, ports, output, messages));
        EXPECT_EQ(messages.errors(), std::vector<std::string>{r.message});
    }
}

TEST(TestPrint, DeviceGetsEveryByte)
{
    TempDir dir;
    const std::string device = dir.path("lp0");
    writeFile(device, std::string(500, 'o'));  // a longer earlier print is not left behind
    SystemPrinterOutput output;
    std::string detail = "stale";
    ASSERT_TRUE(output.Send(device, kStream, detail));
    EXPECT_EQ(detail, "");
    EXPECT_EQ(readFile(device), kStream);
}

TEST(TestPrint, MissingDeviceIsAnErrorNotANewFile)
{
    TempDir dir;
    SystemPrinterOutput output;
    for (std::string target : {dir.path("lp0"), dir.path("no/such/device"), std::string()}) {
        SCOPED_TRACE(target);
        std::string detail;
        EXPECT_FALSE(output.Send(target, kStream, detail));
        EXPECT_NE(detail, "");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.path("lp0"))));
    }

    PrinterPortMap ports;
    ports.lpt1 = dir.path("lp0");
    ScriptedMessages messages;
    EXPECT_FALSE(PrintToPort(kStream, PrinterPort::LPT1, ports, output, messages));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{portErrorMessage(PrinterPort::LPT1)});
}

TEST(TestPrint, CupsQueueGetsRawData)
{
    FakeLp lp(0);
    SystemPrinterOutput output;
    std::string detail;
    // The queue name reaches lp as one argument, whatever it holds.
    ASSERT_TRUE(output.Send("cups:Label Printer;rm -rf x", kStream, detail)) << detail;
    EXPECT_EQ(lp.args(), "-d\nLabel Printer;rm -rf x\n-o\nraw\n");
    EXPECT_EQ(lp.input(), kStream);
}

TEST(TestPrint, EmptyStreamSendsNothing)
{
    TempDir dir;
    const std::string device = dir.path("lp0");
    writeFile(device, "old");
    SystemPrinterOutput output;
    std::string detail;
    EXPECT_TRUE(output.Send(device, "", detail)) << detail;
    EXPECT_EQ(readFile(device), "");

    // lp refuses an empty standard input; with nothing to print it is not asked.
    FakeLp lp(1, "lp: stdin is empty, so no job has been sent.");
    EXPECT_TRUE(output.Send("cups:Labels", "", detail)) << detail;
    EXPECT_FALSE(lp.ran());
}

TEST(TestPrint, CupsFailures)
{
    SystemPrinterOutput output;
    std::string detail;
    {
        FakeLp lp(1, "lp: The printer or class does not exist.");
        EXPECT_FALSE(output.Send("cups:Nowhere", kStream, detail));
        EXPECT_NE(detail.find("does not exist"), std::string::npos) << detail;
    }
    EXPECT_FALSE(output.Send("cups:", kStream, detail));

    SystemPrinterOutput missing("/nonexistent/bin/lp");
    EXPECT_FALSE(missing.Send("cups:Q", kStream, detail));
    EXPECT_NE(detail, "");
}

TEST(TestPrint, PipeWithoutReaderDoesNotHang)
{
    TempDir dir;
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    SystemPrinterOutput output;
    std::string detail;
    EXPECT_FALSE(output.Send(fifo, kStream, detail));
    EXPECT_NE(detail, "");
}
