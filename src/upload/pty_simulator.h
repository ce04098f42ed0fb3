#pragma once

#include "upload/simulated_terminal.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace qvt {

// A simulated terminal on the master side of a pseudo-terminal, answering on
// a thread of its own. The uploader opens devicePath() like a serial port.
class PtyTerminalSimulator {
public:
    struct Options {
        SimulatedTerminal::Options terminal;
        int replyDelayMs = 0;   // time between a request's last byte and the reply
        // When not 0, bytes take the time they would on a line of this many
        // baud (10 bits a byte) in both directions; a pseudo-terminal itself
        // passes them on at once.
        int throttleBaud = 0;
    };

    explicit PtyTerminalSimulator(Options options);
    ~PtyTerminalSimulator();
    PtyTerminalSimulator(const PtyTerminalSimulator&) = delete;
    PtyTerminalSimulator& operator=(const PtyTerminalSimulator&) = delete;

    // Creates the pseudo-terminal and starts answering; false with `error` set
    // when the system has no pseudo-terminal to give.
    bool start(std::string& error);
    // Stops answering and closes the line; the port side then sees the device
    // gone (reads fail).
    void stop();

    // The device to open, such as /dev/pts/3.
    const std::string& devicePath() const { return devicePath_; }

    // Runs `f` on the terminal while the simulator thread keeps off it.
    template <class F>
    auto withTerminal(F&& f)
    {
        std::lock_guard lock(mutex_);
        return f(terminal_);
    }

private:
    void run();

    Options options_;
    SimulatedTerminal terminal_;
    std::mutex mutex_;
    std::thread thread_;
    std::string devicePath_;
    int master_ = -1;
    int slave_ = -1;
    int wake_[2] = {-1, -1};
};

} // namespace qvt
