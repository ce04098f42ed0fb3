#include "shell/uploader_window.h"

#include "core/cp1254.h"
#include "core/image_file_name.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace qvt {

namespace {

QString local(const std::string& bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

std::string local(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

} // namespace

TFQVTYukle::TFQVTYukle(std::string fileName, Messages& messages, QString settingsFile, PortLister listPorts,
                       QWidget* parent)
    : QDialog(parent)
    , fileName_(std::move(fileName))
    , messages_(messages)
    , settingsFile_(std::move(settingsFile))
    , listPorts_(std::move(listPorts))
    , runner_(messages)
{
    setObjectName("TFQVTYukle");
    setWindowTitle(fromCp1254(kUploaderCaption));

    cxGroupBox1 = new QGroupBox(QStringLiteral("Com Port  Settings"), this);
    cxGroupBox1->setObjectName("cxGroupBox1");
    cmbCOM = new QComboBox(cxGroupBox1);
    cmbCOM->setObjectName("cmbCOM");
    cmbCOM->setMinimumContentsLength(12);
    cmbCOM->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    btnRefresh = new QPushButton(QStringLiteral("Refresh"), cxGroupBox1);
    btnRefresh->setObjectName("btnRefresh");
    btnRefresh->setToolTip(QStringLiteral("Read the list of serial ports again"));
    cmbHiz = new QComboBox(cxGroupBox1);
    cmbHiz->setObjectName("cmbHiz");
    cmbHiz->setEditable(true);
    cmbHiz->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view speed : kSpeedTexts)
        cmbHiz->addItem(QString::fromLatin1(speed.data(), qsizetype(speed.size())));
    chkFast = new QCheckBox(QStringLiteral("Fast"), cxGroupBox1);
    chkFast->setObjectName("chkFast");
    chkFast->setToolTip(QStringLiteral("Go on as soon as the terminal has answered, instead of waiting the "
                                       "full reply time of every command"));
    auto* portGrid = new QGridLayout(cxGroupBox1);
    portGrid->addWidget(new QLabel(QStringLiteral("Port"), cxGroupBox1), 0, 0);
    portGrid->addWidget(cmbCOM, 0, 1);
    portGrid->addWidget(btnRefresh, 0, 2);
    portGrid->addWidget(new QLabel(QStringLiteral("Speed"), cxGroupBox1), 1, 0);
    portGrid->addWidget(cmbHiz, 1, 1);
    portGrid->addWidget(chkFast, 1, 2);
    portGrid->setColumnStretch(1, 1);

    cxGroupBox3 = new QGroupBox(QStringLiteral("QVT Address"), this);
    cxGroupBox3->setObjectName("cxGroupBox3");
    spnAdres = new QSpinBox(cxGroupBox3);
    spnAdres->setObjectName("spnAdres");
    spnAdres->setRange(1, 255);
    spnAdres->setValue(1);
    auto* addressBox = new QVBoxLayout(cxGroupBox3);
    addressBox->addWidget(spnAdres);
    addressBox->addStretch();

    cxGroupBox2 = new QGroupBox(QStringLiteral("Process"), this);
    cxGroupBox2->setObjectName("cxGroupBox2");
    lblprocess = new QLabel(QStringLiteral("..."), cxGroupBox2);
    lblprocess->setObjectName("lblprocess");
    lblprocess->setWordWrap(true);
    lblprocess->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PrgBarProcess = new QProgressBar(cxGroupBox2);
    PrgBarProcess->setObjectName("PrgBarProcess");
    PrgBarProcess->setRange(0, 100);
    PrgBarProcess->setValue(0);
    lblSent = new QLabel(cxGroupBox2);
    lblSent->setObjectName("lblSent");
    btnITload = new QPushButton(QStringLiteral("Upload"), cxGroupBox2);
    btnITload->setObjectName("btnITload");
    btnITload->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), cxGroupBox2);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setEnabled(false);
    btnCancel->setToolTip(QStringLiteral("Stop after the block being written; the terminal is still reset"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblSent, 1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnITload);
    auto* processBox = new QVBoxLayout(cxGroupBox2);
    processBox->addWidget(lblprocess);
    processBox->addWidget(PrgBarProcess);
    processBox->addLayout(buttons);

    auto* top = new QHBoxLayout;
    top->addWidget(cxGroupBox1, 1);
    top->addWidget(cxGroupBox3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(cxGroupBox2);
    setMinimumWidth(420);

    connect(btnITload, &QPushButton::clicked, this, &TFQVTYukle::btnITloadClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFQVTYukle::btnCancelClick);
    connect(btnRefresh, &QPushButton::clicked, this, &TFQVTYukle::refreshPorts);

    runner_.onStatus = [this](const QString& text) {
        lblprocess->setText(text);
        lastStatus_ = text;
        sent_.status(local(text));
        // Once the terminal is being reset there is no block left to stop at.
        if (text == fromCp1254(kResettingStatus))
            btnCancel->setEnabled(false);
    };
    runner_.onProgress = [this](double value) {
        PrgBarProcess->setValue(int(value));
        sent_.progress(value);
    };
    runner_.onFinished = [this](const UploadJobResult& result) { uploadEnded(result); };
    ticker_ = new QTimer(this);
    ticker_->setInterval(200);
    connect(ticker_, &QTimer::timeout, this, &TFQVTYukle::showSent);

    // The last choices, where the ports still have them.
    const UploaderChoices choices = LoadUploaderChoices(settingsFile_);
    refreshPorts();
    if (const int at = cmbCOM->findText(choices.port); at >= 0)
        cmbCOM->setCurrentIndex(at);
    const int speedAt = cmbHiz->findText(choices.speed);
    cmbHiz->setCurrentIndex(speedAt >= 0 ? speedAt : kDefaultSpeedIndex);
    spnAdres->setValue(choices.address);
    chkFast->setChecked(choices.fast);

    btnITload->setFocus();
}

TFQVTYukle::~TFQVTYukle()
{
    runner_.onStatus = nullptr;
    runner_.onProgress = nullptr;
    runner_.onFinished = nullptr;
}

std::string TFQVTYukle::imageFileName() const
{
    return ImageFileNameFor(fileName_);
}

void TFQVTYukle::refreshPorts()
{
    if (uploading())
        return;
    const QString previous = cmbCOM->currentText();
    ports_ = listPorts_();
    sortPortsAsText(ports_);
    cmbCOM->clear();
    for (const SerialPortEntry& port : ports_) {
        cmbCOM->addItem(local(port.name));
        QString tip = local(port.location);
        if (!port.description.empty())
            tip += QStringLiteral(" (") + local(port.description) + QLatin1Char(')');
        cmbCOM->setItemData(cmbCOM->count() - 1, tip, Qt::ToolTipRole);
    }
    if (const int at = cmbCOM->findText(previous); at >= 0)
        cmbCOM->setCurrentIndex(at);
    const bool havePorts = !ports_.empty();
    btnITload->setEnabled(havePorts);
    if (!havePorts)
        lblprocess->setText(fromCp1254(kNoSerialPort));
    else if (lblprocess->text() == fromCp1254(kNoSerialPort))
        lblprocess->setText(QStringLiteral("..."));
}

UploaderChoices TFQVTYukle::currentChoices() const
{
    UploaderChoices choices;
    choices.port = cmbCOM->currentText();
    choices.speed = cmbHiz->currentText().trimmed();
    choices.address = spnAdres->value();
    choices.fast = chkFast->isChecked();
    return choices;
}

void TFQVTYukle::btnITloadClick()
{
    if (uploading())
        return;
    const UploaderChoices choices = currentChoices();
    // Refused before anything is opened: no port to take, or a typed speed
    // that is not one of the list.
    const std::string refusal = UploadRefusal(cmbCOM->currentIndex() >= 0, local(choices.speed));
    if (!refusal.empty()) {
        lblprocess->setText(local(refusal));
        return;
    }
    SaveUploaderChoices(settingsFile_, choices);

    UploadSettings settings;
    settings.portName = local(choices.port);
    settings.speedText = local(choices.speed);
    settings.address = choices.address;
    settings.fast = choices.fast;
    const std::string image = imageFileName();
    sent_ = SentBytesCounter(std::size_t(std::max<qint64>(0, QFileInfo(local(image)).size())));

    lblprocess->setText(QStringLiteral("Opening %1...").arg(choices.port));
    PrgBarProcess->setValue(0);
    setUploading(true);
    elapsed_.start();
    showSent();
    ticker_->start();
    if (!runner_.start(settings, image))
        setUploading(false);
}

void TFQVTYukle::btnCancelClick()
{
    if (!uploading())
        return;
    runner_.cancel();
    btnCancel->setEnabled(false);
    lblprocess->setText(QStringLiteral("Cancelling after the block being written..."));
}

void TFQVTYukle::setUploading(bool on)
{
    btnITload->setEnabled(!on && !ports_.empty());
    btnCancel->setEnabled(on);
    for (QWidget* choice : {static_cast<QWidget*>(cmbCOM), static_cast<QWidget*>(btnRefresh),
                            static_cast<QWidget*>(cmbHiz), static_cast<QWidget*>(chkFast),
                            static_cast<QWidget*>(spnAdres)})
        choice->setEnabled(!on);
}

void TFQVTYukle::showSent()
{
    const QLocale english(QLocale::English);
    QString text = FormatElapsed(elapsed_.elapsed());
    if (sent_.imageSize() > 0)
        text += QStringLiteral("   %1 of %2 bytes")
                    .arg(english.toString(qulonglong(sent_.sent())), english.toString(qulonglong(sent_.imageSize())));
    lblSent->setText(text);
}

void TFQVTYukle::uploadEnded(const UploadJobResult& result)
{
    ticker_->stop();
    showSent();
    setUploading(false);
    if (!result.started)
        lblprocess->setText(fromCp1254(kPortOpenError));
    else if (result.outcome.cancelled)
        lblprocess->setText(fromCp1254(kUploadCancelled));
    else
        lblprocess->setText(lastStatus_);  // not the "Cancelling..." of a press too late to stop anything
    btnITload->setFocus();
    if (closeWhenDone_)
        QDialog::reject();
}

void TFQVTYukle::waitForUpload()
{
    runner_.wait();
    // What the upload's thread handed over last is shown now.
    QCoreApplication::sendPostedEvents(&runner_);
}

void TFQVTYukle::reject()
{
    // Closing waits for a running upload: the terminal is reset and the port
    // closed first.
    if (uploading()) {
        closeWhenDone_ = true;
        return;
    }
    QDialog::reject();
}

void TFQVTYukle::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFQVTYukle::closeEvent(QCloseEvent* event)
{
    if (uploading()) {
        closeWhenDone_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ShowUploader(const std::string& fileName, Messages& messages, const QString& settingsFile, QWidget* parent)
{
    TFQVTYukle window(fileName, messages, settingsFile, listSerialPorts, parent);
    window.exec();
}

} // namespace qvt
