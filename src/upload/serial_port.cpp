#include "upload/serial_port.h"

#include <QElapsedTimer>
#include <QSerialPort>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace qvt {

namespace {

std::string devicePathFor(std::string_view portName)
{
    if (!portName.empty() && portName.front() == '/')
        return std::string(portName);
    return "/dev/" + std::string(portName);
}

std::string groupOf(const std::string& device)
{
    struct stat st{};
    if (::stat(device.c_str(), &st) != 0)
        return {};
    if (const struct group* g = ::getgrgid(st.st_gid))
        return g->gr_name;
    return std::to_string(st.st_gid);
}

// The speed as decimal digits and nothing else, like the "baud=" field of the
// settings text.
bool parseSpeed(std::string_view text, qint32& speed)
{
    if (text.empty() || text.size() > 9)
        return false;
    qint32 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value <= 0)
        return false;
    speed = value;
    return true;
}

bool isReadFailure(QSerialPort::SerialPortError e)
{
    return e == QSerialPort::ReadError || e == QSerialPort::ResourceError;
}

} // namespace

bool isPseudoTerminal(int fd)
{
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    // Unix98 pseudo-terminal slaves have the majors 136 to 143.
    const unsigned m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

PortOpenFailure::Reason classifyOpenFailure(int accessErrno, bool qtPermissionError, bool qtNotFound)
{
    using R = PortOpenFailure::Reason;
    if (qtNotFound || accessErrno == ENOENT || accessErrno == ENOTDIR)
        return R::NotFound;
    if (accessErrno == EACCES || accessErrno == EPERM)
        return R::NoPermission;
    // Readable and writable for us, yet refused: held by another program.
    if (qtPermissionError)
        return R::InUse;
    return R::Other;
}

SerialPort::SerialPort() = default;

SerialPort::~SerialPort()
{
    SerialPort::ClosePort();
}

std::string SerialPort::settingsText(std::string_view speedText)
{
    return "baud=" + std::string(speedText) + " parity=n data=8 stop=1";
}

std::uint8_t SerialPort::fail(std::uint8_t code, PortOpenFailure::Reason reason, std::string systemText)
{
    failure_.code = code;
    failure_.reason = reason;
    failure_.systemText = std::move(systemText);
    // The caller does not close a port that failed to open; do it here so the
    // device and its lock are not held until the program ends.
    ClosePort();
    return code;
}

std::uint8_t SerialPort::OpenPort(std::string_view portName, std::string_view speedText)
{
    using R = PortOpenFailure::Reason;
    ClosePort();
    failure_ = {};
    modemLinesSkipped_ = false;
    readFailed_ = false;
    failure_.device = devicePathFor(portName);

    // Step 1: the device, exclusively.
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromLocal8Bit(portName.data(), qsizetype(portName.size())));
    if (portName.empty() || !port_->open(QIODevice::ReadWrite)) {
        const auto error = port_->error();
        const std::string text = port_->errorString().toLocal8Bit().toStdString();
        const int accessErrno = ::access(failure_.device.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
        const R reason = portName.empty()
            ? R::NotFound
            : classifyOpenFailure(accessErrno, error == QSerialPort::PermissionError,
                                  error == QSerialPort::DeviceNotFoundError);
        if (reason == R::NoPermission)
            failure_.group = groupOf(failure_.device);
        port_.reset();
        failure_.code = 1;
        failure_.reason = reason;
        failure_.systemText = text;
        return 1;
    }

    // Step 2: the driver's own queues are the kernel's; our read buffer is not
    // capped, so the count of waiting bytes is always exact.
    port_->setReadBufferSize(0);

    // Step 3: the current settings of the line.
    struct termios settings{};
    if (::tcgetattr(int(port_->handle()), &settings) != 0)
        return fail(3, R::Other, std::strerror(errno));

    // Steps 4 and 5: 8N1 at the chosen speed; flow control stays off.
    qint32 speed = 0;
    if (!parseSpeed(speedText, speed))
        return fail(4, R::BadSpeed, "not a speed: " + settingsText(speedText));
    if (!port_->setBaudRate(speed) || !port_->setDataBits(QSerialPort::Data8)
        || !port_->setParity(QSerialPort::NoParity) || !port_->setStopBits(QSerialPort::OneStop))
        return fail(5, R::BadSpeed, port_->errorString().toLocal8Bit().toStdString());

    // Step 6: reads and writes are bounded to one second by ReadPort() and WritePort().

    // Steps 7 and 8. A pseudo-terminal has no modem lines and refuses them.
    if (isPseudoTerminal(int(port_->handle()))) {
        modemLinesSkipped_ = true;
    } else {
        if (!port_->setDataTerminalReady(true))
            return fail(7, R::Other, port_->errorString().toLocal8Bit().toStdString());
        if (!port_->setRequestToSend(true))
            return fail(8, R::Other, port_->errorString().toLocal8Bit().toStdString());
    }
    port_->clearError();
    return 0;
}

void SerialPort::ClosePort()
{
    if (port_) {
        port_->close();
        port_.reset();
    }
}

bool SerialPort::isOpen() const
{
    return port_ && port_->isOpen();
}

std::size_t SerialPort::QueuedInputCount()
{
    if (!isOpen())
        return 0;
    port_->clearError();
    // QSerialPort only learns of new input when asked; move everything the
    // kernel holds into its buffer so the count is exact.
    for (int i = 0; i < 64 && port_->waitForReadyRead(0); ++i) {
    }
    if (isReadFailure(port_->error()))
        readFailed_ = true;
    port_->clearError();
    return std::size_t(port_->bytesAvailable());
}

bool SerialPort::ReadPort(std::size_t count, Bytes& out)
{
    if (!isOpen() || readFailed_) {
        readFailed_ = false;
        return false;
    }
    if (count == 0)
        return true;
    const QByteArray data = port_->read(qint64(count));
    out.insert(out.end(), data.begin(), data.end());
    return true;
}

void SerialPort::WritePort(std::span<const std::uint8_t> bytes)
{
    if (!isOpen() || bytes.empty())
        return;
    port_->write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    QElapsedTimer timer;
    timer.start();
    while (port_->bytesToWrite() > 0 && timer.elapsed() < 1000)
        if (!port_->waitForBytesWritten(int(1000 - timer.elapsed())))
            break;
    // The reply wait starts once the request is on the line, not when the
    // driver has taken it: at 9600 baud a 64-byte block is about 80 ms on the
    // wire, most of its 140 ms reply wait. Same one-second bound as the write.
    const int fd = int(port_->handle());
    for (int queued = 0; timer.elapsed() < 1000; std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            break;
    // Waiting for the write also takes in arriving bytes; keep a failure there.
    if (isReadFailure(port_->error()))
        readFailed_ = true;
    port_->clearError();
}

void SerialPort::waitForInput(int ms)
{
    if (!isOpen())
        return;
    port_->waitForReadyRead(ms);
    if (isReadFailure(port_->error()))
        readFailed_ = true;
    port_->clearError();
}

} // namespace qvt
