#include "upload/pty_simulator.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace qvt {

namespace {

std::int64_t nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PtyTerminalSimulator::PtyTerminalSimulator(Options options) : options_(options), terminal_(options.terminal) {}

PtyTerminalSimulator::~PtyTerminalSimulator()
{
    stop();
}

bool PtyTerminalSimulator::start(std::string& error)
{
    stop();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0
        || ::ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("no pseudo-terminal: ") + std::strerror(errno);
        stop();
        return false;
    }
    devicePath_ = name;
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    struct termios settings{};
    ::tcgetattr(master_, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(master_, TCSANOW, &settings);
    // Holding the slave side open keeps the line up while no uploader has it
    // open, so closing the port between uploads is not a hang-up.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (slave_ < 0 || ::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot set up ") + name + ": " + std::strerror(errno);
        stop();
        return false;
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

void PtyTerminalSimulator::stop()
{
    if (thread_.joinable()) {
        const char byte = 1;
        [[maybe_unused]] auto written = ::write(wake_[1], &byte, 1);
        thread_.join();
    }
    closeFd(wake_[0]);
    closeFd(wake_[1]);
    closeFd(slave_);
    closeFd(master_);
}

void PtyTerminalSimulator::run()
{
    struct Timed {
        std::int64_t atUs;
        Bytes bytes;
    };
    std::deque<Timed> arriving;  // received, held back to the line rate
    std::deque<Timed> sending;   // replies waiting for their time
    std::int64_t lineFreeUs = 0;
    const auto lineTimeUs = [&](std::size_t count) -> std::int64_t {
        return options_.throttleBaud > 0 ? std::int64_t(count) * 10 * 1000000 / options_.throttleBaud : 0;
    };

    for (;;) {
        const std::int64_t now = nowUs();
        std::int64_t next = -1;
        if (!arriving.empty())
            next = arriving.front().atUs;
        if (!sending.empty())
            next = next < 0 ? sending.front().atUs : std::min(next, sending.front().atUs);
        const int timeoutMs = next < 0 ? -1 : int(std::max<std::int64_t>(0, (next - now + 999) / 1000));

        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {master_, POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            std::uint8_t buffer[4096];
            const ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count > 0) {
                const std::int64_t at = std::max(nowUs(), lineFreeUs) + lineTimeUs(std::size_t(count));
                if (options_.throttleBaud > 0)
                    lineFreeUs = at;
                arriving.push_back({at, Bytes(buffer, buffer + count)});
            }
        } else if (fds[1].revents & (POLLHUP | POLLERR)) {
            ::usleep(10000);
        }

        while (!arriving.empty() && arriving.front().atUs <= nowUs()) {
            Timed piece = std::move(arriving.front());
            arriving.pop_front();
            std::vector<Bytes> replies;
            {
                std::lock_guard lock(mutex_);
                replies = terminal_.receive(piece.bytes);
            }
            for (Bytes& reply : replies) {
                const std::int64_t at = piece.atUs + std::int64_t(options_.replyDelayMs) * 1000 + lineTimeUs(reply.size());
                sending.push_back({std::max(at, sending.empty() ? at : sending.back().atUs), std::move(reply)});
            }
        }
        while (!sending.empty() && sending.front().atUs <= nowUs()) {
            const Bytes& reply = sending.front().bytes;
            std::size_t done = 0;
            while (done < reply.size()) {
                const ssize_t n = ::write(master_, reply.data() + done, reply.size() - done);
                if (n <= 0)
                    break;  // nobody reads the line: the reply is lost, as on a cable
                done += std::size_t(n);
            }
            sending.pop_front();
        }
    }
}

} // namespace qvt
