#include "cli/commands.h"

#include "core/headless_messages.h"
#include "upload/port_list.h"
#include "upload/serial_port.h"
#include "upload/upload_job.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace qvt::cli {

namespace {

// Status lines and, on a terminal, a progress bar redrawn in place.
class ProgressDisplay {
public:
    ProgressDisplay() : tty_(::isatty(STDOUT_FILENO)) {}

    void status(std::string_view text)
    {
        endBar();
        std::printf("%.*s\n", int(text.size()), text.data());
        std::fflush(stdout);
    }
    void progress(double value)
    {
        if (!tty_)
            return;
        const int percent = int(std::lround(std::clamp(value, 0.0, 100.0)));
        if (barShown_ && percent == lastPercent_)
            return;
        constexpr int width = 40;
        const int filled = percent * width / 100;
        std::printf("\r[%s%s] %3d%%", std::string(std::size_t(filled), '#').c_str(),
                    std::string(std::size_t(width - filled), '.').c_str(), percent);
        std::fflush(stdout);
        barShown_ = true;
        lastPercent_ = percent;
    }
    void endBar()
    {
        if (barShown_) {
            std::printf("\n");
            std::fflush(stdout);
        }
        barShown_ = false;
        lastPercent_ = -1;
    }

private:
    bool tty_;
    bool barShown_ = false;
    int lastPercent_ = -1;
};

std::string describe(const UploadOutcome& outcome)
{
    using R = UploadOutcome::Result;
    switch (outcome.result) {
    case R::Completed:
        return "every block accepted";
    case R::ImageNotOpened:
        return "the image file could not be opened";
    case R::ImageReadError:
        return "the image file could not be read";
    case R::ImageTooLarge:
        return "the file is too large for an image";
    case R::BlockRejected: {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", outcome.rejectCode);
        return "block " + std::to_string(outcome.blocksAccepted + 1) + " of " + std::to_string(outcome.blockCount)
            + " not accepted (reply " + code + ")";
    }
    }
    return {};
}

int runUpload(const Invocation& invocation)
{
    UploadSettings settings;
    settings.portName = invocation.path("port");
    settings.speedText = invocation.value("speed").toStdString();
    settings.fast = invocation.isSet("fast");
    if (!speedIndexOf(settings.speedText))
        return invocation.badArgument("--speed must be one of 9600, 19200, 38400, 57600, 115200");
    if (!invocation.number("address", 1, 255, settings.address))
        return invocation.badArgument("--address must be a number from 1 to 255");
    const std::string imagePath = invocation.argument(0);

    ProgressDisplay display;
    StderrMessages messages("qvt upload");
    messages.beforePrint = [&] { display.endBar(); };
    UploadHooks hooks;
    hooks.setStatus = [&](std::string_view text) { display.status(text); };
    hooks.setProgress = [&](double value) { display.progress(value); };

    SerialPort port;
    SteadyClock clock;
    UploadState state;
    const auto start = std::chrono::steady_clock::now();
    const UploadJobResult result = runUploadJob(settings, imagePath, state, port, messages, hooks, clock, clock);
    display.endBar();
    if (!result.started)
        return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %zu bytes, %zu of %zu blocks accepted, %.2f s%s\n", result.ok() ? "done" : "failed",
                result.outcome.imageSize, result.outcome.blocksAccepted, result.outcome.blockCount, seconds,
                result.ok() ? "" : (" (" + describe(result.outcome) + ")").c_str());
    return result.ok() ? 0 : 1;
}

int runPorts(const Invocation& invocation)
{
    const auto ports = listSerialPorts();
    for (const SerialPortEntry& p : ports)
        std::printf("%s\t%s\t%s\n", p.name.c_str(), p.location.c_str(), p.description.c_str());
    if (ports.empty())
        invocation.error("no serial ports found");
    return 0;
}

} // namespace

const Command kUploadCommand{
    "upload",
    "upload an image to a terminal over a serial port",
    "Uploads an image file to a QVT terminal over a serial port: erase, burn in 64-byte blocks from 0x4500, reset. "
    "Prints the steps and, on a terminal, a progress bar; then one summary line.",
    {{"IMAGE.ITF", "the compiled image"}},
    {
        {{"port"}, "PORT", "serial port (ttyUSB0, /dev/ttyS0, a pseudo-terminal from 'qvt simulate'); 'qvt ports' "
                           "lists them", {}, true},
        {{"speed"}, "BAUD", "line speed: 9600, 19200, 38400, 57600 or 115200", "115200"},
        {{"address"}, "N", "terminal address 1..255", "1"},
        {{"fast"}, {}, "stop waiting for a reply as soon as a complete one is in"},
    },
    "0 every block accepted, 1 the upload did not start or a block was not accepted, 2 bad arguments.",
    runUpload,
};

const Command kPortsCommand{
    "ports",
    "list the serial ports",
    "Lists the serial ports, sorted by name, one a line: name, device, description (separated by tabs).",
    {},
    {},
    "0 listed (also when there is none), 2 bad arguments.",
    runPorts,
};

} // namespace qvt::cli
