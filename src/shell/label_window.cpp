#include "shell/label_window.h"

#include "core/cp1254.h"
#include "label/label_commands.h"
#include "label/label_design_file.h"
#include "shell/command_images.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace qvt {

namespace {

QString localPath(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

const char kBarcodeTypeHint[] = "ITF25 : Alan Değerleri Nümerik ve Toplam Uzunluk Çift Hane sayı olmalıdır. "
                                "CODE39 : Alfanümerik Alan destekler.";

PixelRect united(const PixelRect& a, const PixelRect& b)
{
    if (a.Width() <= 0 || a.Height() <= 0)
        return b;
    if (b.Width() <= 0 || b.Height() <= 0)
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

// A picture of the window drawn from its display list: the label surface
// (which also takes the mouse) or the print preview. Only what is exposed is
// painted.
class LabelPictureWidget : public QWidget {
public:
    LabelPictureWidget(TFEtiketDuzenle* window, const DisplayList& picture, bool takesMouse)
        : QWidget(nullptr), window_(window), picture_(picture), takesMouse_(takesMouse)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        if (takesMouse) {
            setMouseTracking(true);
            setFocusPolicy(Qt::ClickFocus);
            setCursor(Qt::CrossCursor);
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        PaintDisplayList(painter, picture_, event->rect());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (!takesMouse_)
            return;
        setFocus(Qt::MouseFocusReason);
        const QPoint p = event->position().toPoint();
        window_->surfacePressed(p.x(), p.y());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!takesMouse_)
            return;
        const QPoint p = event->position().toPoint();
        // The mouse position as the hint, "120,45".
        const QString hint = QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
        setToolTip(hint);
        if (isVisible())
            QToolTip::showText(event->globalPosition().toPoint(), hint, this);
        window_->surfaceMoved(p.x(), p.y(),
                              event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier);
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        if (takesMouse_)
            window_->surfaceReleased();
    }

private:
    TFEtiketDuzenle* window_;
    const DisplayList& picture_;
    bool takesMouse_;
};

RulerLabel::RulerLabel(const QString& name, bool turned, QWidget* parent) : QWidget(parent), turned_(turned)
{
    setObjectName(name);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    setFont(font);
    const int thickness = QFontMetrics(font).height() + 4;
    if (turned)
        setFixedWidth(thickness);
    else
        setFixedHeight(thickness);
}

void RulerLabel::setText(const QString& text)
{
    text_ = text;
    update();
}

void RulerLabel::setLength(int pixels)
{
    if (turned_)
        setFixedHeight(pixels);
    else
        setFixedWidth(pixels);
}

void RulerLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const int length = turned_ ? height() : width();
    const int across = turned_ ? width() : height();
    if (turned_) {
        p.translate(0, length);
        p.rotate(-90);
    }
    const int mid = across / 2;
    p.drawLine(0, mid, length - 1, mid);
    p.drawLine(0, mid - 3, 0, mid + 3);
    p.drawLine(length - 1, mid - 3, length - 1, mid + 3);
    const int textWidth = p.fontMetrics().horizontalAdvance(text_) + 6;
    p.fillRect(QRect((length - textWidth) / 2, 0, textWidth, across), palette().color(QPalette::Window));
    p.drawText(QRect(0, 0, length, across), Qt::AlignCenter, text_);
}

TFEtiketDuzenle::TFEtiketDuzenle(ProjectState& project, Messages& messages, FileDialogs& dialogs,
                                 PrinterOutput& printer, PrinterPortMap ports, QWidget* parent, double pixelsPerMm)
    : QDialog(parent), project_(project), messages_(messages), dialogs_(dialogs), printer_(printer),
      ports_(std::move(ports)), pixelsPerMm_(pixelsPerMm)
{
    setObjectName("TFEtiketDuzenle");
    if (pixelsPerMm_ <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        pixelsPerMm_ = (screen ? screen->logicalDotsPerInch() : 96.0) / 25.4;
    }
    metrics_ = std::make_unique<PainterFontMetrics>();
    document_ = std::make_unique<LabelDocument>(project_.variables, *metrics_, pixelsPerMm_);
    previewer_ = std::make_unique<LabelPreviewer>(*metrics_);
    connect(document_.get(), &LabelDocument::changed, this, &TFEtiketDuzenle::documentChanged);

    aSec = makeAction("aSec", "Select", 10, true);
    aAlan = makeAction("aAlan", "Variable", 34, true);
    aYazi = makeAction("aYazi", "Text", 31, true);
    aYatay = makeAction("aYatay", "Line", 32, true);
    aBarkod = makeAction("aBarkod", "BarCode", 29, true);
    aSil = makeAction("aSil", "Delete", 33);
    aTemizle = makeAction("aTemizle", "Clear", 28);
    aExport = makeAction("aExport", "Export", 23);
    aImport = makeAction("aImport", "Import", 22);
    aCompile = makeAction("aCompile", "Compile", 34);
    aSakla = makeAction("aSakla", "Save", 1);
    aCik = makeAction("aCik", "Exit", 0);
    aCik->setToolTip(QStringLiteral("Çık"));

    QUndoStack& stack = document_->undoStack();
    aUndo = stack.createUndoAction(this, QStringLiteral("Undo"));
    aUndo->setObjectName("aUndo");
    aUndo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    aRedo = stack.createRedoAction(this, QStringLiteral("Redo"));
    aRedo->setObjectName("aRedo");
    aRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    addAction(aUndo);
    addAction(aRedo);
    aSil->setShortcut(QKeySequence::Delete);
    aSakla->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

    tools_ = new QActionGroup(this);
    tools_->setExclusive(true);
    for (QAction* a : {aSec, aAlan, aYazi, aBarkod, aYatay})
        tools_->addAction(a);
    aSec->setChecked(true);
    connect(tools_, &QActionGroup::triggered, this, [this] { layOutPanel(); });

    connect(aSil, &QAction::triggered, this, &TFEtiketDuzenle::aSilExecute);
    connect(aTemizle, &QAction::triggered, this, &TFEtiketDuzenle::aTemizleExecute);
    connect(aExport, &QAction::triggered, this, &TFEtiketDuzenle::aExportExecute);
    connect(aImport, &QAction::triggered, this, &TFEtiketDuzenle::aImportExecute);
    connect(aCompile, &QAction::triggered, this, &TFEtiketDuzenle::aCompileExecute);
    connect(aSakla, &QAction::triggered, this, &TFEtiketDuzenle::aSaklaExecute);
    connect(aCik, &QAction::triggered, this, &TFEtiketDuzenle::aCikExecute);

    buildLayout();
    FormCreate();
}

TFEtiketDuzenle::~TFEtiketDuzenle()
{
    // The pictures' widgets go with the window; the document must not tell
    // them anything on its way out.
    disconnect(document_.get(), nullptr, this, nullptr);
}

QAction* TFEtiketDuzenle::makeAction(const char* name, const char* caption, int image, bool checkable)
{
    auto* action = new QAction(QString::fromLatin1(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setIcon(commandImage(image));
    action->setCheckable(checkable);
    addAction(action);
    return action;
}

void TFEtiketDuzenle::buildLayout()
{
    setWindowTitle(fromCp1254(kLabelWindowCaption));
    resize(750, 560);
    setSizeGripEnabled(true);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("ToolBar");
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const std::pair<QAction*, const char*> buttons[] = {
        {aSec, "bSec"},       {aAlan, "bAlan"},       {aYazi, "bYazi"},   {aBarkod, "bBarkod"},
        {aYatay, "bCizgi"},   {nullptr, nullptr},     {aSil, "bSil"},     {aTemizle, "bTemizle"},
        {aUndo, "bUndo"},     {aRedo, "bRedo"},       {nullptr, nullptr}, {aExport, "bExport"},
        {aImport, "bImport"}, {aCompile, "bCompile"}, {nullptr, nullptr}, {aSakla, "bSakla"},
        {nullptr, nullptr},   {aCik, "bCik"}};
    for (const auto& [action, name] : buttons) {
        if (!action) {
            toolBar_->addSeparator();
            continue;
        }
        toolBar_->addAction(action);
        if (QWidget* button = toolBar_->widgetForAction(action)) {
            button->setObjectName(QString::fromLatin1(name));
            button->setMinimumSize(48, 44);
        }
    }

    // Property editors.
    auto* panel = new QWidget(this);
    panel->setObjectName("PanelProperties");
    panel->setFixedWidth(200);
    auto* grid = new QGridLayout;
    auto spin = [&](const char* name) {
        auto* s = new QSpinBox(panel);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(0, 0);
        return s;
    };
    auto label = [&](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), panel);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    eX = spin("eX");
    eY = spin("eY");
    eX1 = spin("eX1");
    eY1 = spin("eY1");
    eFont = new QComboBox(panel);
    eFont->setObjectName("eFont");
    eAlan = new QComboBox(panel);
    eAlan->setObjectName("eAlan");
    eAlan->view()->setMinimumWidth(200);
    eYazi = new QLineEdit(panel);
    eYazi->setObjectName("eYazi");
    lx = label("lx", "X");
    ly = label("ly", "Y");
    lx1 = label("lx1", "X1");
    ly1 = label("ly1", "Y1");
    lfont = label("lfont", "Font");
    lAlan = label("lAlan", "Variable");
    lYazi = label("lYazi", "Text");
    const std::pair<QLabel*, QWidget*> rows[] = {{lx, eX},       {ly, eY},       {lx1, eX1},   {ly1, eY1},
                                                 {lfont, eFont}, {lAlan, eAlan}, {lYazi, eYazi}};
    int row = 0;
    for (const auto& [l, editor] : rows) {
        grid->addWidget(l, row, 0);
        grid->addWidget(editor, row, 1);
        l->setBuddy(editor);
        ++row;
    }

    auto* property = new QGroupBox(QStringLiteral("Label Property"), panel);
    property->setObjectName("GroupLabelProperty");
    auto* form = new QFormLayout(property);
    eEtiketTipi = new QComboBox(property);
    eEtiketTipi->setObjectName("eEtiketTipi");
    eEtiketTipi->setMaxVisibleItems(12);
    eYon = new QComboBox(property);
    eYon->setObjectName("eYon");
    eBarkodTipi = new QComboBox(property);
    eBarkodTipi->setObjectName("eBarkodTipi");
    eBarkodTipi->setToolTip(QString::fromUtf8(kBarcodeTypeHint));
    form->addRow(QStringLiteral("Type"), eEtiketTipi);
    form->addRow(QStringLiteral("Direction"), eYon);
    form->addRow(QStringLiteral("BarCode Type"), eBarkodTipi);

    bYazdir = new QPushButton(QStringLiteral("Test Print"), panel);
    bYazdir->setObjectName("bYazdir");
    prsecim = new QGroupBox(panel);
    prsecim->setObjectName("prsecim");
    auto* ports = new QHBoxLayout(prsecim);
    prLpt1 = new QRadioButton(QStringLiteral("Lpt1:"), prsecim);
    prLpt1->setObjectName("prLpt1");
    prCom1 = new QRadioButton(QStringLiteral("Com1:"), prsecim);
    prCom1->setObjectName("prCom1");
    ports->addWidget(prLpt1);
    ports->addWidget(prCom1);
    prLpt1->setChecked(true);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addLayout(grid);
    panelLayout->addStretch(1);
    panelLayout->addWidget(property);
    panelLayout->addWidget(bYazdir);
    panelLayout->addWidget(prsecim);

    // The surface with its rulers.
    surface_ = new LabelPictureWidget(this, surfacePicture_, true);
    surface_->setObjectName("Pb");
    LEn = new RulerLabel(QStringLiteral("LEn"), true, nullptr);
    LEn->setText(QStringLiteral("Widht"));
    LBoy = new RulerLabel(QStringLiteral("LBoy"), false, nullptr);
    LBoy->setText(QStringLiteral("Height"));
    auto* surfaceHolder = new QWidget;
    auto* surfaceGrid = new QGridLayout(surfaceHolder);
    surfaceGrid->setSpacing(2);
    surfaceGrid->addWidget(LBoy, 0, 1, Qt::AlignLeft | Qt::AlignBottom);
    surfaceGrid->addWidget(LEn, 1, 0, Qt::AlignRight | Qt::AlignTop);
    surfaceGrid->addWidget(surface_, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    surfaceGrid->setRowStretch(2, 1);
    surfaceGrid->setColumnStretch(2, 1);
    surfaceScroll_ = new QScrollArea;
    surfaceScroll_->setObjectName("SurfaceScroll");
    surfaceScroll_->setWidget(surfaceHolder);
    surfaceScroll_->setWidgetResizable(true);

    // The print preview beside it.
    preview_ = new LabelPictureWidget(this, previewPicture_, false);
    preview_->setObjectName("Preview");
    preview_->setToolTip(QStringLiteral("What the printer prints: the test print's printer stream, each "
                                        "variable at its initial value, as the label leaves the printer."));
    auto* previewHolder = new QWidget;
    auto* previewCentre = new QVBoxLayout(previewHolder);
    previewCentre->addWidget(preview_, 0, Qt::AlignLeft | Qt::AlignTop);
    previewCentre->addStretch(1);
    previewScroll_ = new QScrollArea;
    previewScroll_->setObjectName("PreviewScroll");
    previewScroll_->setWidget(previewHolder);
    previewScroll_->setWidgetResizable(true);
    auto* previewBox = new QWidget;
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    auto* previewTitle = new QLabel(QStringLiteral("Print preview"), previewBox);
    previewTitle->setObjectName("PreviewTitle");
    previewLayout->addWidget(previewTitle);
    previewLayout->addWidget(previewScroll_, 1);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName("Splitter");
    splitter->addWidget(surfaceScroll_);
    splitter->addWidget(previewBox);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto* body = new QHBoxLayout;
    body->addWidget(panel);
    body->addWidget(splitter, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(toolBar_);
    outer->addLayout(body, 1);

    using Editor = LabelDocument::Editor;
    const std::pair<QSpinBox*, Editor> spins[] = {{eX, Editor::X}, {eY, Editor::Y}, {eX1, Editor::X1}, {eY1, Editor::Y1}};
    for (const auto& [s, source] : spins)
        connect(s, &QSpinBox::valueChanged, this, [this, source = source] { editorChanged(source); });
    connect(eFont, &QComboBox::currentIndexChanged, this, [this] { editorChanged(Editor::Font); });
    connect(eAlan, &QComboBox::currentIndexChanged, this, [this] { editorChanged(Editor::Variable); });
    connect(eYazi, &QLineEdit::textChanged, this, [this] { editorChanged(Editor::Text); });
    for (QComboBox* c : {eEtiketTipi, eYon, eBarkodTipi})
        connect(c, &QComboBox::currentIndexChanged, this, &TFEtiketDuzenle::labelPropertyChanged);
    connect(bYazdir, &QPushButton::clicked, this, &TFEtiketDuzenle::bYazdirClick);
}

void TFEtiketDuzenle::FormCreate()
{
    const std::string folder = project_.defaultFolder.empty() ? DefaultFolder() : project_.defaultFolder;
    if (!folder.empty())
        QDir().mkpath(localPath(folder));

    editorsArmed_ = false;
    for (std::string_view type : kLabelTypes)
        eEtiketTipi->addItem(fromCp1254(type));
    for (std::string_view direction : kDirections)
        eYon->addItem(fromCp1254(direction));
    for (std::string_view barcode : kBarcodeTypes)
        eBarkodTipi->addItem(fromCp1254(barcode));
    for (const char* font : {"3", "4", "5"})
        eFont->addItem(QString::fromLatin1(font));
    for (int i = kFirstString; i <= kLastFloat; ++i)
        eAlan->addItem(fromCp1254(project_.variables[i].defaultName + " | " + project_.variables[i].name));
    for (QComboBox* c : {eEtiketTipi, eYon, eBarkodTipi, eFont, eAlan})
        c->setCurrentIndex(0);
    editorsArmed_ = true;
    documentChanged();
}

void TFEtiketDuzenle::LoadLabel(const std::string& labelText)
{
    savedLabelText_ = labelText;
    document_->LoadLabelText(labelText, messages_);
    savedBuild_ = document_->LabelText();
    pressSelectTool();
}

bool TFEtiketDuzenle::HasUnsavedChanges() const
{
    return document_->LabelText() != savedBuild_;
}

QWidget* TFEtiketDuzenle::surface() const { return surface_; }
QWidget* TFEtiketDuzenle::preview() const { return preview_; }
const DisplayList& TFEtiketDuzenle::surfacePicture() const { return surfacePicture_; }
const DisplayList& TFEtiketDuzenle::previewPicture() const { return previewPicture_; }

LabelDocument::Tool TFEtiketDuzenle::tool() const
{
    if (aAlan->isChecked())
        return LabelDocument::Tool::Field;
    if (aYazi->isChecked())
        return LabelDocument::Tool::Text;
    if (aBarkod->isChecked())
        return LabelDocument::Tool::Barcode;
    if (aYatay->isChecked())
        return LabelDocument::Tool::Line;
    return LabelDocument::Tool::Select;
}

void TFEtiketDuzenle::pressSelectTool()
{
    aSec->setChecked(true);
    layOutPanel();
}

std::string TFEtiketDuzenle::chosenVariable() const
{
    const int i = eAlan->currentIndex();
    if (i < 0 || i > kLastFloat - kFirstString)
        return {};
    return project_.variables[size_t(kFirstString) + size_t(i)].name;
}

LabelDocument::EditorValues TFEtiketDuzenle::editorValues() const
{
    LabelDocument::EditorValues v;
    v.x = eX->value();
    v.y = eY->value();
    v.x1 = eX1->value();
    v.y1 = eY1->value();
    // A font the list does not offer (from a file) stays the element's own.
    const Tbase* selected = document_->selectedElement();
    const TLettered* l = selected ? lettered(*selected) : nullptr;
    v.fontNo = eFont->currentIndex() >= 0 ? eFont->currentText().toInt() : (l ? l->FontNo : 3);
    if (eAlan->currentIndex() >= 0)
        v.variable = chosenVariable();
    v.text = toCp1254(eYazi->text());
    return v;
}

void TFEtiketDuzenle::surfacePressed(int x, int y)
{
    const LabelDocument::Tool t = tool();
    if (t == LabelDocument::Tool::Text && eYazi->text().isEmpty()) {
        editorsArmed_ = false;
        eYazi->setText(QStringLiteral("Talvek"));
        editorsArmed_ = true;
    }
    LabelDocument::Placement placement;
    placement.fontNo = eFont->currentIndex() >= 0 ? eFont->currentText().toInt() : 3;
    placement.variable = chosenVariable();
    placement.text = toCp1254(eYazi->text());
    switch (document_->MousePress(t, x, y, placement)) {
    case LabelDocument::Press::SlotLimit:
        messages_.ShowError("Maximum 30 Variable");
        pressSelectTool();
        return;
    case LabelDocument::Press::ElementLimit:
        messages_.ShowError("Unexpected matrix error");
        return;
    case LabelDocument::Press::Caught:
    case LabelDocument::Press::Missed:
        break;
    }
    if (t != LabelDocument::Tool::Select)
        pressSelectTool();
}

void TFEtiketDuzenle::surfaceMoved(int x, int y, bool leftButtonOnly)
{
    if (leftButtonOnly && !document_->design().Elements.empty() && document_->dragging())
        document_->MouseDrag(x, y);
}

void TFEtiketDuzenle::surfaceReleased()
{
    document_->MouseRelease();
}

void TFEtiketDuzenle::editorChanged(LabelDocument::Editor source)
{
    if (!editorsArmed_ || !document_->selectedElement())
        return;
    document_->EditProperty(source, editorValues());
}

void TFEtiketDuzenle::labelPropertyChanged()
{
    if (!editorsArmed_)
        return;
    document_->SetLabelProperties(toCp1254(eEtiketTipi->currentText()), toCp1254(eYon->currentText()),
                                  toCp1254(eBarkodTipi->currentText()));
}

void TFEtiketDuzenle::documentChanged()
{
    const LabelDesign& d = document_->design();
    const bool armed = editorsArmed_;
    editorsArmed_ = false;

    eEtiketTipi->setCurrentIndex(eEtiketTipi->findText(fromCp1254(d.LabelType)));
    eYon->setCurrentIndex(eYon->findText(fromCp1254(d.Direction)));
    eBarkodTipi->setCurrentIndex(eBarkodTipi->findText(fromCp1254(d.BarcodeType)));

    // The size names give the rulers their millimetres: the first number
    // down the side, the second across the top, exchanged for "Vertical".
    if (auto mm = labelSizeMm(d.LabelType)) {
        QString side = QString::number(mm->first), top = QString::number(mm->second);
        if (d.Direction == "Vertical")
            std::swap(side, top);
        LEn->setText(side);
        LBoy->setText(top);
    }
    LEn->setLength(d.SurfaceHeight);
    LBoy->setLength(d.SurfaceWidth);
    surface_->setFixedSize(d.SurfaceWidth, d.SurfaceHeight);
    eX->setMaximum(d.SurfaceWidth);
    eX1->setMaximum(d.SurfaceWidth);
    eY->setMaximum(d.SurfaceHeight);
    eY1->setMaximum(d.SurfaceHeight);
    layOutPanel();
    editorsArmed_ = armed;

    document_->surface().Build(d, surfacePicture_);
    const Tbase* selected = document_->selectedElement();
    const PixelRect bounds = selected ? document_->surface().BoundsOf(*selected) : PixelRect{};
    if (document_->dragging() && selected) {
        const PixelRect dirty = united(lastSelectedBounds_, bounds);
        surface_->update(QRect(dirty.left, dirty.top, dirty.Width(), dirty.Height()));
    } else {
        surface_->update();
    }
    lastSelectedBounds_ = bounds;

    previewCompiles_ = previewer_->BuildFromLabelText(document_->LabelText(), project_.variables,
                                                      pixelsPerMm_ * 25.4, previewPicture_);
    preview_->setFixedSize(std::max(1, previewPicture_.width), std::max(1, previewPicture_.height));
    preview_->update();
    // A test print prints what is drawn now, whenever it compiles.
    bYazdir->setEnabled(previewCompiles_);
}

void TFEtiketDuzenle::layOutPanel()
{
    const bool armed = editorsArmed_;
    editorsArmed_ = false;
    const Tbase* e = document_->selectedElement();
    bool showX = false, showY = false, showX1 = false, showY1 = false, showFont = false, showVariable = false,
         showText = false;
    lx->setText(QStringLiteral("X"));
    ly->setText(QStringLiteral("Y"));
    lx1->setText(QStringLiteral("X1"));
    ly1->setText(QStringLiteral("Y1"));
    if (e) {
        const ElementKind kind = e->kind();
        showX = showY = true;
        showFont = kind != ElementKind::Line;
        showVariable = kind == ElementKind::Field || kind == ElementKind::Barcode;
        showText = kind == ElementKind::Text;
        showX1 = kind == ElementKind::Line;
        showY1 = kind == ElementKind::Line || kind == ElementKind::Barcode;
        if (kind == ElementKind::Line) {
            lx->setText(QStringLiteral("Left"));
            ly->setText(QStringLiteral("Top"));
            lx1->setText(QStringLiteral("Length"));
        }
        if (showY1)
            ly1->setText(QStringLiteral("Heigth"));

        const LabelDocument::EditorValues v = document_->EditorValuesOf(*e);
        eX->setValue(v.x);
        eY->setValue(v.y);
        eX1->setValue(v.x1);
        eY1->setValue(v.y1);
        if (kind != ElementKind::Line)
            eFont->setCurrentIndex(eFont->findText(QString::number(v.fontNo)));
        if (v.variable) {
            int found = -1;
            for (int i = kFirstString; i <= kLastFloat && found < 0; ++i)
                if (project_.variables[size_t(i)].name == *v.variable)
                    found = i - kFirstString;
            eAlan->setCurrentIndex(found);
        }
        if (kind == ElementKind::Text) {
            const QString text = fromCp1254(v.text);
            if (eYazi->text() != text)
                eYazi->setText(text);
        }
    } else {
        // Nothing selected: the editors of what the tool down will place.
        const LabelDocument::Tool t = tool();
        showFont = t == LabelDocument::Tool::Field || t == LabelDocument::Tool::Text
                   || t == LabelDocument::Tool::Barcode;
        showVariable = t == LabelDocument::Tool::Field || t == LabelDocument::Tool::Barcode;
        showText = t == LabelDocument::Tool::Text;
    }
    const std::pair<QWidget*, QWidget*> pairs[] = {{lx, eX},       {ly, eY},       {lx1, eX1},  {ly1, eY1},
                                                   {lfont, eFont}, {lAlan, eAlan}, {lYazi, eYazi}};
    const bool shown[] = {showX, showY, showX1, showY1, showFont, showVariable, showText};
    for (size_t i = 0; i < std::size(pairs); ++i) {
        pairs[i].first->setVisible(shown[i]);
        pairs[i].second->setVisible(shown[i]);
    }
    editorsArmed_ = armed;
}

void TFEtiketDuzenle::showDesignFile(const std::string& path)
{
    designFile_ = path;
    setWindowTitle(fromCp1254(kLabelWindowCaption) + QLatin1String(" [") + localPath(path) + QLatin1Char(']'));
}

void TFEtiketDuzenle::aSilExecute()
{
    if (document_->selectedElement() && messages_.AskYesNo("Warning", "Delete the item?") == AnswerYes)
        document_->DeleteSelected();
    surface_->update();
}

void TFEtiketDuzenle::aTemizleExecute()
{
    if (document_->design().Elements.empty() || messages_.AskYesNo("Warning", "Delete the all item?") == AnswerYes)
        document_->Clear();
    surface_->update();
}

bool TFEtiketDuzenle::saveToDesignFile()
{
    if (designFile_.empty()) {
        auto path = dialogs_.getSaveFileName("Design FileName", kLabelDesignFilter, kLabelDesignExtension, "", false);
        if (!path)
            return false;
        showDesignFile(*path);
    }
    ExportDesign(document_->design(), designFile_, project_.variables, messages_);
    return true;
}

void TFEtiketDuzenle::aExportExecute()
{
    // A Yes without a current design file is answered by the export dialog
    // below, which asks for the file's name.
    if (HasUnsavedChanges() && messages_.AskYesNo("Warning", "Do you want to save change to current file?") == AnswerYes
        && !designFile_.empty())
        saveToDesignFile();
    auto path = dialogs_.getSaveFileName("Design FileName", kLabelDesignFilter, kLabelDesignExtension, "", false);
    if (!path)
        return;
    showDesignFile(*path);
    ExportDesign(document_->design(), designFile_, project_.variables, messages_);
}

void TFEtiketDuzenle::aImportExecute()
{
    if (HasUnsavedChanges() && messages_.AskYesNo("Warning", "Would you like to save changes?") == AnswerYes
        && !saveToDesignFile())
        return;
    auto path = dialogs_.getOpenFileName("Select the design file...", kLabelDesignFilter, kLabelDesignExtension);
    if (!path)
        return;
    showDesignFile(*path);
    document_->Import(*path, messages_);
}

void TFEtiketDuzenle::aCompileExecute()
{
    CompileSavedLabel(project_, messages_, true);
}

void TFEtiketDuzenle::aSaklaExecute()
{
    // A value still being typed counts.
    if (QWidget* focus = focusWidget(); focus && focus != surface_)
        surface_->setFocus(Qt::OtherFocusReason);
    const std::optional<std::string> text = TryBuildLabelText(document_->design(), project_.variables);
    SaveLabel(project_, text, savedLabelText_, messages_);
    if (text)
        savedBuild_ = *text;
}

void TFEtiketDuzenle::bYazdirClick()
{
    const PrinterPort port = prCom1->isChecked() ? PrinterPort::COM1 : PrinterPort::LPT1;
    TestPrint(document_->LabelText(), project_.variables, port, ports_, printer_, messages_);
}

void TFEtiketDuzenle::aCikExecute()
{
    close();
}

bool TFEtiketDuzenle::FormCloseQuery()
{
    return !HasUnsavedChanges()
           || messages_.AskYesNo("Warning", "Are you sure to exit without saving change ?") == AnswerYes;
}

void TFEtiketDuzenle::closeEvent(QCloseEvent* event)
{
    if (!closing_ && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event);
    closing_ = false;
}

void TFEtiketDuzenle::reject()
{
    // Escape and the close box ask first, as Exit does.
    if (closing_) {
        QDialog::reject();
        return;
    }
    close();
}

void ShowLabelWindow(ProjectState& project, Messages& messages, FileDialogs& dialogs, QWidget* parent)
{
    SystemPrinterOutput printer;
    TFEtiketDuzenle window(project, messages, dialogs, printer, PrinterPortMap{}, parent);
    window.LoadLabel(project.labelText);
    window.exec();
}

} // namespace qvt
