#include "shell/main_form.h"
#include "shell/uploader_window.h"

#include "upload/pty_simulator.h"
#include "upload/serial_port.h"

#include "modal_driver.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace qvt;
using namespace qvt::test;

namespace {

std::string imageBytes(std::size_t size, unsigned seed = 5)
{
    std::mt19937 random(seed);
    std::string image(size, '\0');
    for (char& c : image)
        c = char(random() % 4 == 0 ? 0xAA : random() & 0xFF);
    return image;
}

std::vector<std::uint8_t> commandsOf(PtyTerminalSimulator& simulator)
{
    return simulator.withTerminal([](SimulatedTerminal& t) {
        std::vector<std::uint8_t> codes;
        for (const auto& r : t.requests())
            codes.push_back(r.payload[0]);
        return codes;
    });
}

// True when nobody holds the device any more.
bool released(const std::string& device)
{
    SerialPort port;
    return port.OpenPort(device, "115200") == 0;
}

TEST(UploaderCore, ChoicesAreRememberedAndBadOnesIgnored)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.path("uploader.ini"));
    const UploaderChoices defaults = LoadUploaderChoices(file);
    EXPECT_EQ(defaults.speed, "115200");
    EXPECT_EQ(defaults.address, 1);
    EXPECT_FALSE(defaults.fast);

    SaveUploaderChoices(file, {"ttyUSB1", "9600", 85, true});
    const UploaderChoices back = LoadUploaderChoices(file);
    EXPECT_EQ(back.port, "ttyUSB1");
    EXPECT_EQ(back.speed, "9600");
    EXPECT_EQ(back.address, 85);
    EXPECT_TRUE(back.fast);

    writeFile(dir.path("uploader.ini"), "[Uploader]\naddress=0\n");
    EXPECT_EQ(LoadUploaderChoices(file).address, 1);
    // Without a file nothing is kept.
    SaveUploaderChoices({}, {"ttyS0", "9600", 7, true});
    EXPECT_EQ(LoadUploaderChoices({}).address, 1);
}

TEST(UploaderCore, RefusalsAndCounters)
{
    EXPECT_EQ(UploadRefusal(false, "115200"), "No serial port found.");
    for (const char* speed : {"", "12345", "115200 ", "fast"})
        EXPECT_EQ(UploadRefusal(true, speed), std::string(kChooseASpeed)) << speed;
    EXPECT_EQ(UploadRefusal(true, "9600"), "");

    // 130 bytes are three blocks; the count never passes the image's size.
    SentBytesCounter counter(130);
    counter.status("IT is being deleted");
    counter.progress(100);
    EXPECT_EQ(counter.sent(), 0u) << "the erase pause is no sending";
    counter.status("IT is being burned to flash");
    counter.progress(100.0 / 3);
    EXPECT_EQ(counter.sent(), 64u);
    counter.progress(100);
    EXPECT_EQ(counter.sent(), 130u);
    counter.status("QVT is resetting");
    counter.progress(0);
    EXPECT_EQ(counter.sent(), 130u);

    EXPECT_EQ(FormatElapsed(0), "0:00.0");
    EXPECT_EQ(FormatElapsed(9950), "0:09.9");
    EXPECT_EQ(FormatElapsed(65000), "1:05");
}

class UploaderTest : public ::testing::Test {
protected:
    std::unique_ptr<TFQVTYukle> open(std::vector<SerialPortEntry> ports, std::string fileName = "a.zmk")
    {
        portList = std::move(ports);
        auto window = std::make_unique<TFQVTYukle>(std::move(fileName), messages, settingsFile(),
                                                   [this] { return portList; });
        window->show();
        return window;
    }
    QString settingsFile() const { return QString::fromStdString(dir.path("uploader.ini")); }

    void startSimulator(PtyTerminalSimulator::Options options = {})
    {
        simulator = std::make_unique<PtyTerminalSimulator>(options);
        std::string error;
        ASSERT_TRUE(simulator->start(error)) << error;
    }
    const std::string& device() const { return simulator->devicePath(); }

    // A window on the simulator's line with the image compiled under dir/p.zmk.
    std::unique_ptr<TFQVTYukle> openOnSimulator(const std::string& image, bool fast = true)
    {
        writeFile(dir.path("p.ITF"), image);
        auto window = open({{device(), device(), "simulated terminal"}}, dir.path("p.zmk"));
        window->chkFast->setChecked(fast);
        return window;
    }

    static bool waitForEnd(TFQVTYukle& window, int ms = 30000)
    {
        return QTest::qWaitFor([&] { return !window.uploading(); }, ms);
    }

    TempDir dir;
    ScriptedMessages messages;
    std::vector<SerialPortEntry> portList;
    std::unique_ptr<PtyTerminalSimulator> simulator;
};

TEST_F(UploaderTest, StartsWithSortedPortsTheFastestSpeedAndAddressOne)
{
    auto window = open({{"ttyS2", "/dev/ttyS2", ""}, {"ttyS10", "/dev/ttyS10", ""}, {"ttyS1", "/dev/ttyS1", "UART"},
                        {"ttyUSB0", "/dev/ttyUSB0", "FT232R"}});
    EXPECT_EQ(window->windowTitle(), "IT Uploader");
    QStringList ports;
    for (int i = 0; i < window->cmbCOM->count(); ++i)
        ports << window->cmbCOM->itemText(i);
    EXPECT_EQ(ports, (QStringList{"ttyS1", "ttyS10", "ttyS2", "ttyUSB0"}));
    EXPECT_EQ(window->cmbCOM->currentText(), "ttyS1");
    QStringList speeds;
    for (int i = 0; i < window->cmbHiz->count(); ++i)
        speeds << window->cmbHiz->itemText(i);
    EXPECT_EQ(speeds, (QStringList{"9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(window->cmbHiz->currentText(), "115200");
    EXPECT_EQ(window->spnAdres->value(), 1);
    EXPECT_EQ(window->spnAdres->minimum(), 1);
    EXPECT_EQ(window->spnAdres->maximum(), 255);
    EXPECT_FALSE(window->chkFast->isChecked());
    EXPECT_EQ(window->lblprocess->text(), "...");
    EXPECT_EQ(window->PrgBarProcess->value(), 0);
    EXPECT_EQ(window->PrgBarProcess->maximum(), 100);
    EXPECT_EQ(window->focusWidget(), window->btnITload);
    EXPECT_TRUE(window->btnITload->isEnabled());
    EXPECT_FALSE(window->btnCancel->isEnabled());
    for (const char* box : {"cxGroupBox1", "cxGroupBox2", "cxGroupBox3"})
        EXPECT_NE(window->findChild<QWidget*>(box), nullptr) << box;
    EXPECT_EQ(window->cxGroupBox1->title(), "Com Port  Settings");
    EXPECT_EQ(window->cxGroupBox3->title(), "QVT Address");
    EXPECT_EQ(window->cxGroupBox2->title(), "Process");
}

TEST_F(UploaderTest, TheImageIsNamedAfterTheCompiledFile)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a.zmk", "a.ITF"},
        {"/work/scale.zmk", "/work/scale.ITF"},
        {"noname.itf", "noname.ITF"},
    };
    for (const auto& [fileName, image] : cases) {
        auto window = open({}, fileName);
        EXPECT_EQ(window->imageFileName(), image);
    }
}

TEST_F(UploaderTest, ChoicesComeBackAtTheNextOpening)
{
    const std::vector<SerialPortEntry> ports = {{"ttyS0", "/dev/ttyS0", ""}, {"ttyUSB3", "/dev/ttyUSB3", ""}};
    {
        auto window = open(ports);
        window->cmbCOM->setCurrentText("ttyUSB3");
        window->cmbHiz->setCurrentText("19200");
        window->spnAdres->setValue(42);
        window->chkFast->setChecked(true);
        // Upload remembers the choices, whether or not the port then opens.
        window->btnITloadClick();
        ASSERT_TRUE(waitForEnd(*window));
    }
    auto window = open(ports);
    EXPECT_EQ(window->cmbCOM->currentText(), "ttyUSB3");
    EXPECT_EQ(window->cmbHiz->currentText(), "19200");
    EXPECT_EQ(window->spnAdres->value(), 42);
    EXPECT_TRUE(window->chkFast->isChecked());

    // A remembered port that is gone gives way to the first one listed.
    auto fewer = open({{"ttyS0", "/dev/ttyS0", ""}});
    EXPECT_EQ(fewer->cmbCOM->currentText(), "ttyS0");
}

TEST_F(UploaderTest, NoPortOrATypedSpeedIsRefusedBeforeAnythingOpens)
{
    auto window = open({});
    EXPECT_EQ(window->cmbCOM->count(), 0);
    EXPECT_EQ(window->lblprocess->text(), "No serial port found.");
    EXPECT_FALSE(window->btnITload->isEnabled());
    window->btnITloadClick();
    EXPECT_FALSE(window->uploading());

    // Refresh finds the port plugged in meanwhile.
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    portList = {{device(), device(), ""}};
    window->btnRefresh->click();
    EXPECT_EQ(window->cmbCOM->currentText(), QString::fromStdString(device()));
    EXPECT_TRUE(window->btnITload->isEnabled());
    EXPECT_EQ(window->lblprocess->text(), "...");

    for (const char* typed : {"12345", "", "fast"}) {
        window->cmbHiz->setEditText(typed);
        window->btnITloadClick();
        EXPECT_FALSE(window->uploading()) << typed;
        EXPECT_EQ(window->lblprocess->text().toStdString(), std::string(kChooseASpeed)) << typed;
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    EXPECT_TRUE(commandsOf(*simulator).empty());
    EXPECT_TRUE(released(device()));
}

TEST_F(UploaderTest, APortHeldByAnotherProgramIsNamedAndTheWindowStaysUsable)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    SerialPort holder;
    ASSERT_EQ(holder.OpenPort(device(), "115200"), 0);
    auto window = openOnSimulator(imageBytes(64));
    window->btnITload->click();
    ASSERT_TRUE(waitForEnd(*window));
    QTest::qWait(10);
    ASSERT_EQ(messages.errors().size(), 1u) << messages.transcript();
    const std::string error = messages.errors()[0];
    EXPECT_EQ(error.rfind("Could not open Com port.", 0), 0u) << error;
    EXPECT_NE(error.find("in use by another program"), std::string::npos) << error;
    EXPECT_EQ(window->lblprocess->text(), "Could not open Com port.");
    EXPECT_TRUE(window->btnITload->isEnabled());
    EXPECT_TRUE(window->cmbCOM->isEnabled());
    EXPECT_TRUE(commandsOf(*simulator).empty());

    // Once the other program lets go, the next press goes through.
    holder.ClosePort();
    messages.shown.clear();
    window->btnITload->click();
    ASSERT_TRUE(waitForEnd(*window));
    EXPECT_EQ(window->lblprocess->text(), "Upload Completed");
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(UploaderTest, UploadsByteForByteThenCancelsHalfWayInTheSameOpening)
{
    PtyTerminalSimulator::Options options;
    options.replyDelayMs = 2;
    ASSERT_NO_FATAL_FAILURE(startSimulator(options));
    const std::string image = imageBytes(16000);
    auto window = openOnSimulator(image);

    // The window's own thread keeps running while the upload goes on.
    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(20);
    std::vector<int> progress;
    QObject::connect(window->PrgBarProcess, &QProgressBar::valueChanged, [&](int v) { progress.push_back(v); });

    QElapsedTimer clock;
    clock.start();
    window->btnITload->click();
    EXPECT_TRUE(window->uploading());
    EXPECT_FALSE(window->btnITload->isEnabled());
    EXPECT_TRUE(window->btnCancel->isEnabled());
    EXPECT_FALSE(window->cmbCOM->isEnabled());
    // A second press while uploading starts nothing.
    window->btnITloadClick();
    ASSERT_TRUE(waitForEnd(*window));
    const qint64 ms = clock.elapsed();
    EXPECT_EQ(window->lblprocess->text(), "Upload Completed");
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    EXPECT_TRUE(window->btnITload->isEnabled());
    EXPECT_FALSE(window->btnCancel->isEnabled());
    EXPECT_TRUE(window->lblSent->text().endsWith("16,000 of 16,000 bytes")) << window->lblSent->text().toStdString();
    // Half the heartbeats at least (a loaded machine drops some): the window
    // never stood still, as it would if the upload ran on its thread.
    EXPECT_GT(ticks, int(ms / 20 / 2)) << ms << " ms";
    EXPECT_NE(std::find(progress.begin(), progress.end(), 50), progress.end());

    const Bytes received = simulator->withTerminal([](SimulatedTerminal& t) { return t.receivedImage(); });
    ASSERT_GE(received.size(), image.size());
    EXPECT_EQ(std::string(received.begin(), received.begin() + std::ptrdiff_t(image.size())), image);
    const auto sent = commandsOf(*simulator);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0x7B), 250);
    EXPECT_EQ(sent.back(), 0x06);
    EXPECT_TRUE(released(device()));

    // Second upload: Cancel half-way through the burning.
    const std::size_t before = sent.size();
    window->btnITload->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->bytesSent() >= image.size() / 2; }, 30000));
    window->btnCancel->click();
    EXPECT_FALSE(window->btnCancel->isEnabled());
    ASSERT_TRUE(waitForEnd(*window));
    EXPECT_EQ(window->lblprocess->text(), "Upload cancelled.");
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    const auto all = commandsOf(*simulator);
    const std::vector<std::uint8_t> second(all.begin() + std::ptrdiff_t(before), all.end());
    const auto blocks = std::count(second.begin(), second.end(), 0x7B);
    EXPECT_GE(blocks, 120);
    EXPECT_LT(blocks, 250);
    ASSERT_GE(second.size(), 2u);
    EXPECT_EQ(second[second.size() - 2], 0x09);
    EXPECT_EQ(second.back(), 0x06);
    EXPECT_TRUE(released(device()));
    EXPECT_TRUE(window->btnITload->isEnabled());
}

TEST_F(UploaderTest, EscDuringAnUploadClosesOnceItHasEnded)
{
    ASSERT_NO_FATAL_FAILURE(startSimulator());
    auto window = openOnSimulator(imageBytes(640));
    window->btnITload->click();
    ASSERT_TRUE(window->uploading());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    window->close();
    QTest::qWait(50);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(waitForEnd(*window));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(commandsOf(*simulator).back(), 0x06);
    EXPECT_TRUE(released(device()));

    // Without an upload Esc closes at once, whichever control has the focus.
    auto idle = openOnSimulator(imageBytes(64));
    idle->spnAdres->setFocus();
    QTest::keyClick(idle->spnAdres, Qt::Key_Escape);
    EXPECT_FALSE(idle->isVisible());
}

// A terminal that goes quiet, one that refuses a block and a line unplugged
// in the middle all end with the flash message; the port is let go and the
// window takes the next upload.
TEST_F(UploaderTest, FailuresOnTheLineEndCleanly)
{
    struct Case {
        const char* what;
        bool silent;
        std::size_t rejectBlock;
        bool unplug;
    };
    const Case cases[] = {
        {"terminal stops answering", true, 0, false},
        {"a block is refused", false, 3, false},
        {"the line is unplugged", false, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyTerminalSimulator::Options options;
        options.terminal.silent = c.silent;
        options.terminal.rejectBlock = c.rejectBlock;
        options.replyDelayMs = 2;
        ASSERT_NO_FATAL_FAILURE(startSimulator(options));
        messages.shown.clear();
        auto window = openOnSimulator(imageBytes(64 * 200));
        window->btnITload->click();
        if (c.unplug) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return window->bytesSent() >= 64 * 40; }, 30000));
            simulator->stop();
        }
        ASSERT_TRUE(waitForEnd(*window)) << "the upload did not end";
        QTest::qWait(10);
        EXPECT_EQ(messages.errors(), std::vector<std::string>{"Could not write to Flash."}) << messages.transcript();
        EXPECT_EQ(window->lblprocess->text(), "Upload Completed");
        EXPECT_TRUE(window->btnITload->isEnabled());
        if (!c.unplug) {
            EXPECT_TRUE(released(device()));
        }
    }
}

TEST_F(UploaderTest, TheMainWindowCompilesThenOpensTheUploader)
{
    ScriptedFileDialogs dialogs;
    ProjectState project;
    TMainForm main(project, messages, dialogs, QString::fromStdString(dir.path("recent.ini")));
    const std::string path = dir.path("stock.zmk");
    writeFile(path, readFile(sourcePath("examples/stockcount.zmk")));
    main.openProjectFile(path);
    messages.shown.clear();
    std::remove(dir.path("stock.ITF").c_str());

    std::string imageSeen;
    bool imageWritten = false;
    onNextModal([&](QWidget* modal) {
        auto* window = qobject_cast<TFQVTYukle*>(modal);
        if (!window) {
            ADD_FAILURE() << "opened " << modal->objectName().toStdString() << " instead of the uploader";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        imageSeen = window->imageFileName();
        imageWritten = QFileInfo::exists(QString::fromStdString(imageSeen));
        QTest::keyClick(window, Qt::Key_Escape);
    });
    main.aQVTYukle->trigger();
    EXPECT_EQ(imageSeen, dir.path("stock.ITF"));
    EXPECT_TRUE(imageWritten) << "the compile comes first";
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

// Not a check: the time of a full-size upload through the window, for
// comparison with 'qvt upload' to the same 'qvt simulate'. Runs only when
// QVT_TIMING_PORT names the simulator's device; QVT_TIMING_IMAGE may name the
// image to send (a made-up one of the largest size otherwise).
TEST_F(UploaderTest, TimingOfAFullImage)
{
    const QByteArray port = qgetenv("QVT_TIMING_PORT");
    if (port.isEmpty())
        GTEST_SKIP() << "set QVT_TIMING_PORT to a 'qvt simulate' device";
    const QByteArray imagePath = qgetenv("QVT_TIMING_IMAGE");
    writeFile(dir.path("big.ITF"), imagePath.isEmpty() ? imageBytes(kMaxImageSize) : readFile(imagePath.toStdString()));
    auto window = open({{port.toStdString(), port.toStdString(), ""}}, dir.path("big.zmk"));
    window->chkFast->setChecked(qEnvironmentVariableIsSet("QVT_TIMING_FAST"));
    QElapsedTimer clock;
    clock.start();
    window->btnITload->click();
    ASSERT_TRUE(waitForEnd(*window, 600000));
    std::printf("window upload: %.2f s, %s\n", double(clock.elapsed()) / 1000,
                window->lblSent->text().toLocal8Bit().constData());
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

} // namespace
