#include "shell/uploader_window_core.h"

#include "core/headless_messages.h"
#include "upload/serial_port.h"

#include <QSettings>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace qvt {

namespace {

constexpr const char* kGroup = "Uploader";

// Error boxes raised on the upload's thread are shown on the window's thread;
// the upload goes on meanwhile (it asks no questions).
class ForwardedMessages : public SilentMessages {
public:
    explicit ForwardedMessages(QObject* context) : context_(context) {}

protected:
    void shown(std::string_view message, bool isError) override
    {
        // Queued as a meta-call with its arguments by value; the box opens on
        // the window's thread.
        QMetaObject::invokeMethod(context_, "showForwarded", Qt::QueuedConnection,
                                  Q_ARG(QByteArray, QByteArray(message.data(), qsizetype(message.size()))),
                                  Q_ARG(bool, isError));
    }

private:
    QObject* context_;
};

} // namespace

UploaderChoices LoadUploaderChoices(const QString& settingsFile)
{
    UploaderChoices choices;
    if (settingsFile.isEmpty())
        return choices;
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    choices.port = settings.value("port", choices.port).toString();
    choices.speed = settings.value("speed", choices.speed).toString();
    bool ok = false;
    const int address = settings.value("address", choices.address).toInt(&ok);
    if (ok && address >= 1 && address <= 255)
        choices.address = address;
    choices.fast = settings.value("fast", choices.fast).toBool();
    return choices;
}

void SaveUploaderChoices(const QString& settingsFile, const UploaderChoices& choices)
{
    if (settingsFile.isEmpty())
        return;
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue("port", choices.port);
    settings.setValue("speed", choices.speed);
    settings.setValue("address", choices.address);
    settings.setValue("fast", choices.fast);
}

std::string UploadRefusal(bool havePort, std::string_view speedText)
{
    if (!havePort)
        return std::string(kNoSerialPort);
    if (!speedIndexOf(speedText))
        return std::string(kChooseASpeed);
    return {};
}

SentBytesCounter::SentBytesCounter(std::size_t imageSize)
    : imageSize_(std::min(imageSize, kMaxImageSize))
    , blocks_((imageSize_ + kFlashBlockSize - 1) / kFlashBlockSize)
{
}

void SentBytesCounter::status(std::string_view text)
{
    burning_ = text.ends_with("is being burned to flash");
}

void SentBytesCounter::progress(double percent)
{
    if (!burning_)
        return;
    const auto accepted = std::size_t(std::llround(percent * double(blocks_) / 100.0));
    sent_ = std::min(imageSize_, accepted * kFlashBlockSize);
}

QString FormatElapsed(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    if (seconds < 10)
        return QStringLiteral("0:0%1.%2").arg(seconds).arg((ms % 1000) / 100);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

UploadRunner::UploadRunner(Messages& messages, QObject* parent) : QObject(parent), messages_(messages) {}

UploadRunner::~UploadRunner()
{
    cancel();
    wait();
}

void UploadRunner::wait()
{
    if (thread_) {
        thread_->wait();
        // The thread's own end is delivered later; this one is enough.
        delete thread_;
        thread_ = nullptr;
    }
}

void UploadRunner::showForwarded(const QByteArray& message, bool isError)
{
    const std::string_view text(message.constData(), size_t(message.size()));
    if (isError)
        messages_.ShowError(text);
    else
        messages_.ShowInfo("Info", text);
}

bool UploadRunner::start(const UploadSettings& settings, const std::string& imagePath)
{
    if (thread_)
        return false;
    cancel_ = false;
    thread_ = QThread::create([this, settings, imagePath] {
        // Everything that touches the port lives and dies on this thread.
        ForwardedMessages messages(this);
        UploadHooks hooks;
        // Status and progress reach the window's thread as queued meta-calls
        // with their arguments by value.
        hooks.setStatus = [this](std::string_view text) {
            QMetaObject::invokeMethod(this, "forwardStatus", Qt::QueuedConnection,
                                      Q_ARG(QString, QString::fromLocal8Bit(text.data(), qsizetype(text.size()))));
        };
        hooks.setProgress = [this](double value) {
            QMetaObject::invokeMethod(this, "forwardProgress", Qt::QueuedConnection, Q_ARG(double, value));
        };
        hooks.cancelRequested = [this] { return cancel_.load(); };
        SerialPort port;
        SteadyClock clock;
        UploadJobResult result;
        try {
            result = runUploadJob(settings, imagePath, state_, port, messages, hooks, clock, clock);
        } catch (const std::exception& error) {
            messages.ShowError(error.what());
        }
        port.ClosePort();
        // The result is handed over before the call is queued; the queue
        // orders the two.
        result_ = result;
        QMetaObject::invokeMethod(this, "finishUpload", Qt::QueuedConnection);
    });
    thread_->start();
    return true;
}

void UploadRunner::forwardStatus(const QString& text)
{
    if (onStatus)
        onStatus(text);
}

void UploadRunner::forwardProgress(double value)
{
    if (onProgress)
        onProgress(value);
}

void UploadRunner::finishUpload()
{
    wait();
    const UploadJobResult result = result_;
    if (onFinished)
        onFinished(result);
}

} // namespace qvt
