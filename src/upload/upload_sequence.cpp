#include "upload/upload_sequence.h"

#include <QFile>

#include <algorithm>

namespace qvt {

namespace {

// Reads the image; on failure tells the user and says why in `outcome`.
bool readImage(const std::string& path, Bytes& image, UploadOutcome& outcome, Messages& messages)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.result = UploadOutcome::Result::ImageNotOpened;
        messages.ShowError("Could not open the image file " + path + ": "
                           + file.errorString().toLocal8Bit().toStdString());
        return false;
    }
    // One byte more than an image can hold tells a longer file apart.
    image.resize(kMaxImageSize + 1);
    const qint64 count = file.read(reinterpret_cast<char*>(image.data()), qint64(image.size()));
    if (count < 0) {
        outcome.result = UploadOutcome::Result::ImageReadError;
        messages.ShowError(file.errorString().toLocal8Bit().toStdString());
        return false;
    }
    if (std::size_t(count) > kMaxImageSize) {
        outcome.result = UploadOutcome::Result::ImageTooLarge;
        messages.ShowError("The file " + path + " is larger than " + std::to_string(kMaxImageSize)
                           + " bytes and is not an image.");
        return false;
    }
    image.resize(std::size_t(count));
    return true;
}

} // namespace

UploadOutcome UploadImage(UploadProtocol& protocol, const std::string& imagePath, std::string_view displayName,
                          std::uint32_t startAddress, const UploadHooks& hooks, Clock& pauseClock,
                          Messages& messages)
{
    const auto status = [&](std::string_view text) {
        if (hooks.setStatus)
            hooks.setStatus(text);
    };
    const auto progress = [&](double value) {
        if (hooks.setProgress)
            hooks.setProgress(value);
    };
    const auto pump = [&] {
        if (hooks.processMessages)
            hooks.processMessages();
    };
    const auto cancelled = [&] { return hooks.cancelRequested && hooks.cancelRequested(); };
    const auto pause = [&](int stepMs, bool mayCancel) {
        for (int i = 0; i <= 100; ++i) {
            if (mayCancel && cancelled())
                return;
            pump();
            pauseClock.sleepMs(stepMs);
            progress(i);
        }
    };

    const auto address = std::uint8_t(protocol.state().TerminalAddress);
    const std::string name(displayName);
    UploadOutcome outcome;
    Bytes image;
    if (readImage(imagePath, image, outcome, messages)) {
        outcome.imageSize = image.size();
        status(name + " is being deleted");
        const std::uint32_t firstPage = startAddress / kFlashPageSize;
        protocol.EraseFlashPages(address, std::uint16_t(firstPage),
                                 std::uint16_t(firstPage + image.size() / kFlashPageSize));
        pause(20, true);

        status(name + " is being burned to flash");
        outcome.blockCount = (image.size() + kFlashBlockSize - 1) / kFlashBlockSize;
        // Every block goes out with 64 bytes; past the image's end they are zero.
        image.resize(outcome.blockCount * kFlashBlockSize, 0);
        for (std::size_t k = 0; k < outcome.blockCount; ++k) {
            if (cancelled()) {
                outcome.cancelled = true;
                break;
            }
            const auto block = std::span(image).subspan(k * kFlashBlockSize, kFlashBlockSize);
            const std::uint8_t code
                = protocol.WriteFlashBlock(address, startAddress + std::uint32_t(k * kFlashBlockSize), block);
            if (code != reply::Ok) {
                outcome.result = UploadOutcome::Result::BlockRejected;
                outcome.rejectCode = code;
                messages.ShowError(kFlashWriteError);
                break;
            }
            ++outcome.blocksAccepted;
            progress(double(k + 1) / double(outcome.blockCount) * 100.0);
            pump();
        }
    }

    status(kResettingStatus);
    protocol.SendReset(address);
    pause(30, false);
    status(kUploadCompleted);
    protocol.SendCommand06(address);
    return outcome;
}

} // namespace qvt
