#pragma once

#include "core/messages.h"
#include "upload/port_list.h"
#include "upload/upload_job.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QThread;

namespace qvt {

inline constexpr std::string_view kUploaderCaption = "IT Uploader";
inline constexpr std::string_view kNoSerialPort = "No serial port found.";
inline constexpr std::string_view kUploadCancelled = "Upload cancelled.";
inline constexpr std::string_view kChooseASpeed
    = "Choose one of the speeds 9600, 19200, 38400, 57600 and 115200.";

// What the uploader remembers between openings.
struct UploaderChoices {
    QString port;
    QString speed = QStringLiteral("115200");
    int address = 1;
    bool fast = false;
};

// Read from and written to the INI file `settingsFile`; with no file the
// defaults come back and nothing is kept.
UploaderChoices LoadUploaderChoices(const QString& settingsFile);
void SaveUploaderChoices(const QString& settingsFile, const UploaderChoices& choices);

// Why the chosen port and speed cannot start an upload, as the status line
// says it; empty when they can. Checked before anything is opened.
std::string UploadRefusal(bool havePort, std::string_view speedText);

// Image bytes the terminal has accepted so far, followed from the upload's
// status texts and progress: during the burning the progress is the share of
// blocks accepted.
class SentBytesCounter {
public:
    explicit SentBytesCounter(std::size_t imageSize = 0);
    void status(std::string_view text);
    void progress(double percent);
    std::size_t sent() const { return sent_; }
    std::size_t imageSize() const { return imageSize_; }

private:
    std::size_t imageSize_;
    std::size_t blocks_;
    bool burning_ = false;
    std::size_t sent_ = 0;
};

// "1:05" for 65 seconds; "0:00.4" below ten seconds keeps tenths.
QString FormatElapsed(qint64 ms);

// One upload at a time on a worker thread of its own: the port is opened,
// used and closed there, so the window stays responsive. Status, progress and
// the end are handed back on the thread that owns the runner; error boxes go
// to `messages` there too, without holding the upload up.
class UploadRunner : public QObject {
    Q_OBJECT
public:
    explicit UploadRunner(Messages& messages, QObject* parent = nullptr);
    // A running upload is cancelled and waited for.
    ~UploadRunner() override;

    std::function<void(const QString&)> onStatus;
    std::function<void(double)> onProgress;
    std::function<void(const UploadJobResult&)> onFinished;

    // False when an upload is already running.
    bool start(const UploadSettings& settings, const std::string& imagePath);
    // Stops after the block in flight; the reset and closing command still go out.
    void cancel() { cancel_ = true; }
    bool isRunning() const { return thread_ != nullptr; }
    // Blocks until the running upload has ended (tests, shutdown).
    void wait();

private slots:
    // A box raised on the upload's thread, shown here on the window's thread.
    void showForwarded(const QByteArray& message, bool isError);
    void forwardStatus(const QString& text);
    void forwardProgress(double value);
    // The upload's thread has ended with `result_`.
    void finishUpload();

private:
    UploadJobResult result_;

    Messages& messages_;
    UploadState state_;
    std::atomic<bool> cancel_{false};
    QThread* thread_ = nullptr;
};

} // namespace qvt
