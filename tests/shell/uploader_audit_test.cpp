#include "shell/uploader_window.h"

#include "upload/pty_simulator.h"
#include "upload/serial_port.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

std::vector<std::uint8_t> commandsOf(PtyTerminalSimulator& simulator)
{
    return simulator.withTerminal([](SimulatedTerminal& t) {
        std::vector<std::uint8_t> codes;
        for (const auto& r : t.requests())
            codes.push_back(r.payload[0]);
        return codes;
    });
}

class UploaderAuditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        simulator = std::make_unique<PtyTerminalSimulator>(PtyTerminalSimulator::Options{});
        std::string error;
        ASSERT_TRUE(simulator->start(error)) << error;
    }

    std::unique_ptr<TFQVTYukle> openOnSimulator()
    {
        const std::string device = simulator->devicePath();
        std::vector<SerialPortEntry> ports = {{device, device, "simulated terminal"}};
        auto window = std::make_unique<TFQVTYukle>(dir.path("p.zmk"), messages, QString(),
                                                   [ports] { return ports; });
        window->show();
        return window;
    }

    bool released() const
    {
        SerialPort port;
        return port.OpenPort(simulator->devicePath(), "115200") == 0;
    }

    static bool waitForEnd(TFQVTYukle& window) { return QTest::qWaitFor([&] { return !window.uploading(); }, 30000); }

    TempDir dir;
    ScriptedMessages messages;
    std::unique_ptr<PtyTerminalSimulator> simulator;
};

// Cancel stops the burning; once the terminal is being reset there is nothing
// left to stop, and a press then must not leave "Cancelling..." as the status
// of an upload that went through.
TEST_F(UploaderAuditTest, CancelIsOffOnceTheBurningIsOver)
{
    writeFile(dir.path("p.ITF"), std::string(640, '\x5A'));
    auto window = openOnSimulator();
    // The slowest speed without Fast: the closing command's reply wait is long
    // enough to press Cancel while "Upload Completed" is already shown.
    window->cmbHiz->setCurrentText("9600");
    window->chkFast->setChecked(false);
    window->btnITload->click();
    ASSERT_TRUE(window->btnCancel->isEnabled());

    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblprocess->text() == "QVT is resetting"; }, 30000));
    EXPECT_FALSE(window->btnCancel->isEnabled());
    EXPECT_FALSE(window->btnITload->isEnabled());

    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblprocess->text() == "Upload Completed"; }, 30000));
    window->btnCancel->click();
    ASSERT_TRUE(waitForEnd(*window));
    EXPECT_EQ(window->lblprocess->text().toStdString(), "Upload Completed");
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    const auto sent = commandsOf(*simulator);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0x7B), 10);
    EXPECT_EQ(sent.back(), 0x06);
    EXPECT_TRUE(window->btnITload->isEnabled());
    EXPECT_FALSE(window->btnCancel->isEnabled());
}

// An image that is not there is said so (rather than ending as if it had been
// sent); the terminal is still reset and given the closing command, and the
// port is let go.
TEST_F(UploaderAuditTest, AMissingImageIsReportedAndTheTerminalStillReset)
{
    auto window = openOnSimulator();
    window->chkFast->setChecked(true);
    window->btnITload->click();
    ASSERT_TRUE(waitForEnd(*window));
    QTest::qWait(10);
    ASSERT_EQ(messages.errors().size(), 1u) << messages.transcript();
    EXPECT_NE(messages.errors()[0].find(dir.path("p.ITF")), std::string::npos) << messages.errors()[0];
    EXPECT_EQ(commandsOf(*simulator), (std::vector<std::uint8_t>{0x09, 0x06}));
    EXPECT_EQ(window->lblprocess->text().toStdString(), "Upload Completed");
    EXPECT_TRUE(window->btnITload->isEnabled());
    EXPECT_TRUE(released());
}

// The window sees Esc before its controls: it closes whichever has the focus.
TEST_F(UploaderAuditTest, EscClosesFromEveryControl)
{
    struct Case {
        const char* name;
        QWidget* (*control)(TFQVTYukle&);
    };
    const Case cases[] = {
        {"port list", [](TFQVTYukle& w) -> QWidget* { return w.cmbCOM; }},
        {"speed box", [](TFQVTYukle& w) -> QWidget* { return w.cmbHiz; }},
        {"Fast", [](TFQVTYukle& w) -> QWidget* { return w.chkFast; }},
        {"address", [](TFQVTYukle& w) -> QWidget* { return w.spnAdres; }},
        {"Refresh", [](TFQVTYukle& w) -> QWidget* { return w.btnRefresh; }},
        {"Upload", [](TFQVTYukle& w) -> QWidget* { return w.btnITload; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = openOnSimulator();
        QWidget* control = c.control(*window);
        control->setFocus();
        QWidget* target = control->focusProxy() ? control->focusProxy() : control;
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
            target = combo->lineEdit();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    EXPECT_TRUE(commandsOf(*simulator).empty());
}

} // namespace
