#include "label/label_printer.h"

#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvt {

namespace {

bool writeDevice(const std::string& path, std::string_view stream, std::string& detail)
{
    // O_NOCTTY: a serial port must not become our controlling terminal.
    // O_NONBLOCK only for the open, which would otherwise wait for a serial
    // line's carrier or for a reader of a pipe; the writes may block as a
    // busy printer makes them.
    int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        detail = path + ": " + std::strerror(errno);
        return false;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        detail = path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
        detail = path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    size_t done = 0;
    while (done < stream.size()) {
        ssize_t n = ::write(fd, stream.data() + done, stream.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            detail = path + ": " + std::strerror(n < 0 ? errno : EIO);
            ::close(fd);
            return false;
        }
        done += size_t(n);
    }
    if (::close(fd) != 0) {
        detail = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool sendToQueue(const std::string& lp, const std::string& queue, std::string_view stream, std::string& detail)
{
    if (queue.empty()) {
        detail = "no printer queue named";
        return false;
    }
    // A label that is not there prints nothing, as it does on a device; lp
    // would refuse the empty job as an error.
    if (stream.empty())
        return true;
    QProcess process;
    process.setProgram(QString::fromLocal8Bit(lp));
    // The queue name is one argument of its own: nothing in it reaches a shell.
    process.setArguments({"-d", QString::fromLocal8Bit(queue), "-o", "raw"});
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(10000)) {
        detail = lp + ": " + process.errorString().toLocal8Bit().toStdString();
        return false;
    }
    process.write(stream.data(), qint64(stream.size()));
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(1000);
        detail = lp + " did not finish";
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QByteArray said = process.readAll().trimmed();
        detail = lp + " failed";
        if (!said.isEmpty())
            detail += ": " + said.toStdString();
        return false;
    }
    return true;
}

} // namespace

bool SystemPrinterOutput::Send(std::string_view target, std::string_view stream, std::string& detail)
{
    detail.clear();
    if (target.substr(0, kCupsPrefix.size()) == kCupsPrefix)
        return sendToQueue(lpProgram_, std::string(target.substr(kCupsPrefix.size())), stream, detail);
    if (target.empty()) {
        detail = "no printer device named";
        return false;
    }
    return writeDevice(std::string(target), stream, detail);
}

std::string portErrorMessage(PrinterPort port)
{
    // "erişimde", "oluştu": s-cedilla is 0xFE in Windows-1254.
    return std::string(port == PrinterPort::LPT1 ? "LPT1:" : "COM1:") + " portuna eri\xFEimde hata olu\xFEtu.";
}

bool PrintToPort(std::string_view stream, PrinterPort port, const PrinterPortMap& ports, PrinterOutput& output,
                 Messages& messages)
{
    std::string detail;
    if (output.Send(ports.targetOf(port), stream, detail))
        return true;
    messages.ShowError(portErrorMessage(port));
    return false;
}

} // namespace qvt
