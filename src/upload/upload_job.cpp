#include "upload/upload_job.h"

#include "upload/upload_protocol.h"

namespace qvt {

std::string openFailureMessage(const PortOpenFailure& failure)
{
    using R = PortOpenFailure::Reason;
    std::string text(kPortOpenError);
    switch (failure.reason) {
    case R::NoPermission: {
        const std::string group = failure.group.empty() ? "dialout" : failure.group;
        text += "\n\nYou are not allowed to use " + failure.device + ". Add your user to the group \"" + group
            + "\" (sudo usermod -aG " + group + " $USER), then log out and back in.";
        break;
    }
    case R::InUse:
        text += "\n\n" + failure.device + " is in use by another program.";
        break;
    case R::NotFound:
        text += "\n\nThere is no serial port " + failure.device + ".";
        break;
    case R::BadSpeed:
        text += "\n\nThe port does not accept that speed.";
        break;
    case R::None:
    case R::Other:
        if (!failure.systemText.empty())
            text += "\n\n" + failure.systemText;
        break;
    }
    return text;
}

UploadJobResult runUploadJob(const UploadSettings& settings, const std::string& imagePath, UploadState& state,
                             Port& port, Messages& messages, const UploadHooks& hooks, Clock& waitClock,
                             Clock& pauseClock)
{
    UploadJobResult result;
    const auto speedIndex = speedIndexOf(settings.speedText);
    if (settings.portName.empty()) {
        messages.ShowError(std::string(kPortOpenError) + "\n\nNo serial port is selected.");
        return result;
    }
    if (!speedIndex) {
        messages.ShowError(std::string(kPortOpenError) + "\n\nChoose one of the speeds 9600, 19200, 38400, 57600 "
                                                         "and 115200.");
        return result;
    }
    if (settings.address < 1 || settings.address > 255) {
        messages.ShowError("The terminal address must lie between 1 and 255.");
        return result;
    }
    state.TerminalAddress = settings.address;
    state.SpeedIndex = *speedIndex;

    result.openCode = port.OpenPort(settings.portName, settings.speedText);
    if (result.openCode != 0) {
        messages.ShowError(openFailureMessage(port.openFailure()));
        return result;
    }

    struct CloseOnExit {
        Port& port;
        ~CloseOnExit() { port.ClosePort(); }
    } closer{port};

    UploadProtocol protocol(port, waitClock, state);
    protocol.setFastMode(settings.fast);
    result.started = true;
    result.outcome = UploadImage(protocol, imagePath, kImageDisplayName, kImageFlashAddress, hooks, pauseClock,
                                 messages);
    return result;
}

} // namespace qvt
