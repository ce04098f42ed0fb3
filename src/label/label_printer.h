#pragma once

#include "core/messages.h"

#include <string>
#include <string_view>

namespace qvt {

// The two printer ports the test print offers.
enum class PrinterPort { LPT1, COM1 };

// Where each port leads on this machine: a device path, or "cups:QUEUE" for a
// CUPS queue that takes the stream as raw data.
struct PrinterPortMap {
    std::string lpt1 = "/dev/usb/lp0";
    std::string com1 = "/dev/ttyS0";

    const std::string& targetOf(PrinterPort port) const { return port == PrinterPort::LPT1 ? lpt1 : com1; }
};

inline constexpr std::string_view kCupsPrefix = "cups:";

// Hands a printer stream to a print target. Tests substitute a recording double.
class PrinterOutput {
public:
    virtual ~PrinterOutput() = default;
    // `target` is a device path or "cups:QUEUE". True only when every byte was
    // handed over; `detail` then stays empty, otherwise it says what failed.
    virtual bool Send(std::string_view target, std::string_view stream, std::string& detail) = 0;
};

// The real thing. A device is opened for writing as it exists (nothing is
// created, so a missing printer is an error rather than a new file) and gets
// every byte, NUL included, with the line settings the system has for it. A
// CUPS queue gets the stream on the standard input of `lp -d QUEUE -o raw`.
class SystemPrinterOutput : public PrinterOutput {
public:
    explicit SystemPrinterOutput(std::string lpProgram = "lp") : lpProgram_(std::move(lpProgram)) {}
    bool Send(std::string_view target, std::string_view stream, std::string& detail) override;

private:
    std::string lpProgram_;
};

// "LPT1: portuna erişimde hata oluştu." and its COM1 twin, in Windows-1254.
std::string portErrorMessage(PrinterPort port);

// The test print: sends the stream to where the port leads; a failure shows
// the port's error message and gives false.
bool PrintToPort(std::string_view stream, PrinterPort port, const PrinterPortMap& ports, PrinterOutput& output,
                 Messages& messages);

} // namespace qvt
