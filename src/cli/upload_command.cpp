#include "cli/commands.h"

#include "core/atomic_file.h"
#include "core/headless_messages.h"
#include "upload/port_list.h"
#include "upload/pty_simulator.h"
#include "upload/serial_port.h"
#include "upload/upload_job.h"

#include <QCommandLineParser>
#include <QFile>
#include <QCoreApplication>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
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
        const int percent = int(value + 0.5);
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

bool parseInt(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    value = v;
    return true;
}

// The help names the program by its path; show the command instead.
QString helpFor(const QCommandLineParser& parser, const QString& command)
{
    QString text = parser.helpText();
    const QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        text.replace("Usage: " + arguments.first(), "Usage: qvt " + command);
    return text;
}

int usageError(const QCommandLineParser& parser, const QString& command, const QString& message)
{
    std::fprintf(stderr, "qvt: %s\n\n%s", message.toLocal8Bit().constData(),
                 helpFor(parser, command).toLocal8Bit().constData());
    return 2;
}

// Parses `args` (without the command name); on --help prints the help and
// sets `exitCode` to 0, on an error prints it and sets 2.
bool parseArguments(QCommandLineParser& parser, const QString& command, const QStringList& args, int& exitCode)
{
    parser.addHelpOption();
    if (!parser.parse(QStringList{"qvt " + command} + args)) {
        exitCode = usageError(parser, command, parser.errorText());
        return false;
    }
    if (parser.isSet("help")) {
        std::printf("%s", helpFor(parser, command).toLocal8Bit().constData());
        exitCode = 0;
        return false;
    }
    return true;
}

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

} // namespace

int runUpload(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Upload an image file to a QVT terminal over a serial port: erase, burn "
                                     "in 64-byte blocks from 0x4500, reset. Exit code 0 only when every block "
                                     "was accepted.");
    parser.addPositionalArgument("IMAGE.ITF", "the compiled image");
    parser.addOption({"port", "serial port (ttyUSB0, /dev/ttyS0, a pseudo-terminal from 'qvt simulate')", "PORT"});
    parser.addOption({"speed", "line speed: 9600, 19200, 38400, 57600 or 115200 (default 115200)", "BAUD", "115200"});
    parser.addOption({"address", "terminal address 1..255 (default 1)", "N", "1"});
    parser.addOption({"fast", "stop waiting for a reply as soon as a complete one is in"});
    int exitCode = 0;
    if (!parseArguments(parser, "upload", args, exitCode))
        return exitCode;

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return usageError(parser, "upload", "give exactly one image file");
    if (!parser.isSet("port"))
        return usageError(parser, "upload", "--port is required ('qvt ports' lists them)");
    UploadSettings settings;
    settings.portName = parser.value("port").toLocal8Bit().toStdString();
    settings.speedText = parser.value("speed").toStdString();
    settings.fast = parser.isSet("fast");
    if (!speedIndexOf(settings.speedText))
        return usageError(parser, "upload", "--speed must be one of 9600, 19200, 38400, 57600, 115200");
    if (!parseInt(parser.value("address"), 1, 255, settings.address))
        return usageError(parser, "upload", "--address must be a number from 1 to 255");
    const std::string imagePath = positional[0].toLocal8Bit().toStdString();

    ProgressDisplay display;
    StderrMessages messages;
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

int runPorts(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("List the serial ports, sorted by name: name, device, description.");
    int exitCode = 0;
    if (!parseArguments(parser, "ports", args, exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return usageError(parser, "ports", "no arguments expected");
    const auto ports = listSerialPorts();
    for (const SerialPortEntry& p : ports)
        std::printf("%s\t%s\t%s\n", p.name.c_str(), p.location.c_str(), p.description.c_str());
    if (ports.empty())
        std::fprintf(stderr, "qvt: no serial ports found\n");
    return 0;
}

int runSimulate(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Simulate a QVT terminal on a pseudo-terminal. Prints the device to upload to on its first line, then one "
        "line per command received. Runs until interrupted (Ctrl+C) or, with --once, until an upload ends.");
    parser.addOption({"address", "answer as terminal N (default 1)", "N", "1"});
    parser.addOption({"delay", "wait MS milliseconds before each answer (default 0)", "MS", "0"});
    parser.addOption({"silent", "never answer"});
    parser.addOption({"bad-crc", "answer with a data block whose CRC is wrong"});
    parser.addOption({"reject-block", "refuse the K-th block written after an erase (from 1)", "K"});
    parser.addOption({"throttle", "hold bytes to the time they take on a line of BAUD baud", "BAUD"});
    parser.addOption({"dump", "after each upload, write the bytes received (from the lowest address written) to FILE",
                      "FILE"});
    parser.addOption({"once", "exit after the first upload's closing command"});
    parser.addOption({"quiet", "print only the device"});
    int exitCode = 0;
    if (!parseArguments(parser, "simulate", args, exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return usageError(parser, "simulate", "no arguments expected");

    PtyTerminalSimulator::Options options;
    int address = 1, rejectBlock = 0;
    if (!parseInt(parser.value("address"), 1, 255, address))
        return usageError(parser, "simulate", "--address must be a number from 1 to 255");
    if (!parseInt(parser.value("delay"), 0, 60000, options.replyDelayMs))
        return usageError(parser, "simulate", "--delay must be a number of milliseconds from 0 to 60000");
    if (parser.isSet("reject-block") && !parseInt(parser.value("reject-block"), 1, 1 << 20, rejectBlock))
        return usageError(parser, "simulate", "--reject-block must be a block number from 1");
    if (parser.isSet("throttle") && !parseInt(parser.value("throttle"), 50, 4000000, options.throttleBaud))
        return usageError(parser, "simulate", "--throttle must be a line speed in baud");
    options.terminal.address = std::uint8_t(address);
    options.terminal.silent = parser.isSet("silent");
    options.terminal.badCrc = parser.isSet("bad-crc");
    options.terminal.rejectBlock = std::size_t(rejectBlock);
    const bool quiet = parser.isSet("quiet");
    const bool once = parser.isSet("once");
    const QString dumpPath = parser.value("dump");

    // Ctrl+C and SIGTERM are taken by sigtimedwait below, in this thread only.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::atomic<bool> uploadEnded{false};
    std::mutex outputMutex;
    const auto say = [&](const std::string& line) {
        std::lock_guard lock(outputMutex);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    const auto dump = [&](const SimulatedTerminal& terminal) {
        if (dumpPath.isEmpty())
            return;
        const Bytes image = terminal.receivedImage();
        FileWriteFailure failure;
        if (!WriteFileAtomically(QFile::encodeName(dumpPath).toStdString(),
                                 std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                                 &failure)) {
            std::lock_guard lock(outputMutex);
            std::fprintf(stderr, "qvt: could not write %s: %s\n", dumpPath.toLocal8Bit().constData(),
                         failure.reason.c_str());
        } else if (!quiet) {
            say("wrote " + std::to_string(image.size()) + " bytes to " + dumpPath.toLocal8Bit().toStdString());
        }
    };

    PtyTerminalSimulator simulator(options);
    simulator.withTerminal([&](SimulatedTerminal& terminal) {
        if (!quiet)
            terminal.log = say;
        terminal.onClosingCommand = [&](const SimulatedTerminal& t) {
            dump(t);
            uploadEnded = true;
        };
    });
    std::string error;
    if (!simulator.start(error)) {
        std::fprintf(stderr, "qvt: %s\n", error.c_str());
        return 1;
    }
    say(simulator.devicePath());

    for (;;) {
        const timespec tick{0, 100 * 1000 * 1000};
        const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
        if (signal == SIGINT || signal == SIGTERM)
            break;
        if (once && uploadEnded) {
            // Let the answer to the closing command go out first.
            std::this_thread::sleep_for(std::chrono::milliseconds(options.replyDelayMs + 200));
            break;
        }
    }
    simulator.stop();
    return 0;
}

} // namespace qvt::cli
