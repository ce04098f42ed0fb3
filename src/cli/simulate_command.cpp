#include "cli/commands.h"

#include "core/atomic_file.h"
#include "upload/pty_simulator.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

namespace qvt::cli {

namespace {

int runSimulate(const Invocation& invocation)
{
    PtyTerminalSimulator::Options options;
    int address = 1, rejectBlock = 0;
    if (!invocation.number("address", 1, 255, address))
        return invocation.badArgument("--address must be a number from 1 to 255");
    if (!invocation.number("delay", 0, 60000, options.replyDelayMs))
        return invocation.badArgument("--delay must be a number of milliseconds from 0 to 60000");
    if (invocation.isSet("reject-block") && !invocation.number("reject-block", 1, 1 << 20, rejectBlock))
        return invocation.badArgument("--reject-block must be a block number from 1");
    if (invocation.isSet("throttle") && !invocation.number("throttle", 50, 4000000, options.throttleBaud))
        return invocation.badArgument("--throttle must be a line speed in baud");
    options.terminal.address = std::uint8_t(address);
    options.terminal.silent = invocation.isSet("silent");
    options.terminal.badCrc = invocation.isSet("bad-crc");
    options.terminal.rejectBlock = std::size_t(rejectBlock);
    const bool quiet = invocation.isSet("quiet");
    const bool once = invocation.isSet("once");
    const std::string dumpPath = invocation.path("dump");

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
        if (dumpPath.empty())
            return;
        const Bytes image = terminal.receivedImage();
        FileWriteFailure failure;
        if (!WriteFileAtomically(dumpPath,
                                 std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                                 &failure)) {
            std::lock_guard lock(outputMutex);
            invocation.error("could not write " + dumpPath + ": " + failure.reason);
        } else if (!quiet) {
            say("wrote " + std::to_string(image.size()) + " bytes to " + dumpPath);
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
        invocation.error(error);
        return 1;
    }
    say(simulator.devicePath());

    for (;;) {
        const timespec tick{0, 100L * 1000 * 1000};
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

} // namespace

const Command kSimulateCommand{
    "simulate",
    "run a terminal simulator on a pseudo-terminal",
    "Simulates a QVT terminal on a pseudo-terminal. Prints the device to upload to on its first line, then one line "
    "per command received. Runs until interrupted (Ctrl+C) or, with --once, until an upload ends.",
    {},
    {
        {{"address"}, "N", "answer as terminal N", "1"},
        {{"delay"}, "MS", "wait MS milliseconds before each answer", "0"},
        {{"silent"}, {}, "never answer"},
        {{"bad-crc"}, {}, "answer with a data block whose CRC is wrong"},
        {{"reject-block"}, "K", "refuse the K-th block written after an erase (from 1)"},
        {{"throttle"}, "BAUD", "hold bytes to the time they take on a line of BAUD baud"},
        {{"dump"}, "FILE", "after each upload, write the bytes received (from the lowest address written) to FILE"},
        {{"once"}, {}, "exit after the first upload's closing command"},
        {{"quiet"}, {}, "print only the device"},
    },
    "0 stopped (interrupted, or after the upload with --once), 1 the pseudo-terminal could not be opened, 2 bad "
    "arguments.",
    runSimulate,
};

} // namespace qvt::cli
