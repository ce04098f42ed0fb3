#pragma once

#include "upload/port.h"

#include <memory>

class QSerialPort;

namespace qvt {

// A port name as the system lists it (ttyUSB0) or a device path (/dev/pts/3).
// QSerialPort opens it exclusively (lock file and TIOCEXCL).
class SerialPort : public Port {
public:
    SerialPort();
    ~SerialPort() override;

    std::uint8_t OpenPort(std::string_view portName, std::string_view speedText) override;
    void ClosePort() override;
    bool isOpen() const override;
    const PortOpenFailure& openFailure() const override { return failure_; }

    // True when the open port is a pseudo-terminal, which has no modem lines:
    // raising DTR and RTS was skipped (on a real device it is required).
    bool modemLinesSkipped() const { return modemLinesSkipped_; }

    std::size_t QueuedInputCount() override;
    bool ReadPort(std::size_t count, Bytes& out) override;
    void WritePort(std::span<const std::uint8_t> bytes) override;
    void waitForInput(int ms) override;

    // The settings text given for `speedText`, as the protocol documents it:
    // "baud=115200 parity=n data=8 stop=1".
    static std::string settingsText(std::string_view speedText);

private:
    std::uint8_t fail(std::uint8_t code, PortOpenFailure::Reason reason, std::string systemText);

    std::unique_ptr<QSerialPort> port_;
    PortOpenFailure failure_;
    bool modemLinesSkipped_ = false;
    bool readFailed_ = false;
};

// True when the file descriptor is the slave side of a pseudo-terminal.
bool isPseudoTerminal(int fd);

// Classifies a failed open from what access(R_OK | W_OK) said of the device
// file (0 = allowed) and the error QSerialPort reported: missing, not
// permitted (the user is not in the device's group), or in use elsewhere.
PortOpenFailure::Reason classifyOpenFailure(int accessErrno, bool qtPermissionError, bool qtNotFound);

} // namespace qvt
