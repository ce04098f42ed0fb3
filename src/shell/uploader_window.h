#pragma once

#include "core/messages.h"
#include "shell/uploader_window_core.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace qvt {

// "IT Uploader": sends the image compiled from the project to a terminal.
// The user picks a port, a speed and the terminal's address and presses
// Upload; the upload runs on a thread of its own while the status line, the
// progress bar, the elapsed time and the bytes sent follow it. Several
// uploads may follow each other; the port is opened and closed around each.
// Esc closes the window, during an upload once the upload has ended.
class TFQVTYukle : public QDialog {
    Q_OBJECT
public:
    using PortLister = std::function<std::vector<SerialPortEntry>()>;

    // `fileName` is the name the image was compiled under (the project file,
    // or "noname.itf"); the choices are remembered in `settingsFile` (not at
    // all when it is empty).
    TFQVTYukle(std::string fileName, Messages& messages, QString settingsFile = {},
               PortLister listPorts = listSerialPorts, QWidget* parent = nullptr);
    ~TFQVTYukle() override;

    // The image file read at each upload: the file name without its last
    // three characters, followed by "ITF".
    std::string imageFileName() const;
    bool uploading() const { return runner_.isRunning(); }
    // Image bytes the terminal has accepted in the running (or last) upload.
    std::size_t bytesSent() const { return sent_.sent(); }
    // Blocks until a running upload has ended and its end has been shown.
    void waitForUpload();

    void btnITloadClick();
    void btnCancelClick();
    void refreshPorts();

    QGroupBox* cxGroupBox1 = nullptr;
    QComboBox* cmbCOM = nullptr;
    QPushButton* btnRefresh = nullptr;
    QComboBox* cmbHiz = nullptr;
    QCheckBox* chkFast = nullptr;
    QGroupBox* cxGroupBox3 = nullptr;
    QSpinBox* spnAdres = nullptr;
    QGroupBox* cxGroupBox2 = nullptr;
    QLabel* lblprocess = nullptr;
    QProgressBar* PrgBarProcess = nullptr;
    QLabel* lblSent = nullptr;
    QPushButton* btnITload = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setUploading(bool on);
    void showSent();
    void uploadEnded(const UploadJobResult& result);
    UploaderChoices currentChoices() const;

    std::string fileName_;
    Messages& messages_;
    QString settingsFile_;
    PortLister listPorts_;
    std::vector<SerialPortEntry> ports_;
    UploadRunner runner_;
    SentBytesCounter sent_;
    QElapsedTimer elapsed_;
    QTimer* ticker_ = nullptr;
    bool closeWhenDone_ = false;
    QString lastStatus_;  // the upload's own last status text
};

// Opens the uploader modally for the image compiled under `fileName` and
// returns when it closes.
void ShowUploader(const std::string& fileName, Messages& messages, const QString& settingsFile, QWidget* parent);

} // namespace qvt
