#pragma once

#include "core/messages.h"
#include "upload/port.h"
#include "upload/upload_sequence.h"

#include <string>
#include <string_view>

namespace qvt {

inline constexpr std::string_view kPortOpenError = "Could not open Com port.";

// "Could not open Com port.", followed by what the user can do about it when
// the cause is known (the device is missing, in use, or not permitted).
std::string openFailureMessage(const PortOpenFailure& failure);

// What the user chose for one upload.
struct UploadSettings {
    std::string portName;
    std::string speedText = "115200";
    int address = 1;     // 1..255
    bool fast = false;   // stop waiting as soon as a valid reply is in
};

struct UploadJobResult {
    bool started = false;  // the port opened and the sequence ran
    std::uint8_t openCode = 0;
    UploadOutcome outcome;

    bool ok() const { return started && outcome.ok(); }
};

// One press of Upload: takes the settings into `state`, opens the port, runs
// the upload sequence of `imagePath` and closes the port again, also when the
// sequence fails or throws. A port that does not open shows
// openFailureMessage and sends nothing. `waitClock` times the reply waits,
// `pauseClock` the two pauses.
UploadJobResult runUploadJob(const UploadSettings& settings, const std::string& imagePath, UploadState& state,
                             Port& port, Messages& messages, const UploadHooks& hooks, Clock& waitClock,
                             Clock& pauseClock);

} // namespace qvt
