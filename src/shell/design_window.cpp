#include "shell/design_window.h"

#include "compiler/compile_errors.h"
#include "core/cp1254.h"
#include "editor/canvas_measurer.h"
#include "editor/connection_routing.h"
#include "editor/machine_picture.h"
#include "model/item_kinds.h"
#include "shell/command_images.h"
#include "shell/design_canvas.h"
#include "shell/property_panel.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qvt {

namespace {

constexpr std::string_view kSaveQuestion = "Would you like to save changes?";
constexpr std::string_view kDesignFilter =
    "Visual QVT Design File|*.zmk|Visual QVT Design Export file|*.zmkexp|All Files|*.*";

// Fills of the picture that the mouse zones are told by.
const QColor kEmptyCellFill(255, 254, 236);
const QColor kBoxFill(244, 244, 244);

// Whether a point lies on the picture of the grid. The view may be larger
// than the picture (zoomed out, or a small grid); what shows beside it is no
// cell.
bool OnPicture(QPoint p, const ProjectState& project)
{
    return p.x() >= 0 && p.y() >= 0 && p.x() < PictureWidth(project.gridColumns)
           && p.y() < PictureHeight(project.gridRows);
}

} // namespace

QString DesignWindowTitle(MachineId machine)
{
    switch (machine) {
    case MachineId::Online:
        return QStringLiteral("Online State Machine");
    case MachineId::Offline:
        return QStringLiteral("Offline State Machine");
    case MachineId::OnlineTimer:
        return QStringLiteral("Online/Timer State Machine");
    case MachineId::OfflineTimer:
        return QStringLiteral("Offline/Timer State Machine");
    }
    return {};
}

bool MachineAllowsKind(MachineId machine, std::int32_t kind)
{
    switch (machine) {
    case MachineId::Online:
        return kind != KindTmrReturn;
    case MachineId::Offline:
        return kind != KindSync && kind != KindTmrReturn;
    case MachineId::OnlineTimer:
    case MachineId::OfflineTimer:
        return kind != KindInput && kind != KindReadKey && kind != KindSync;
    }
    return true;
}

std::unique_ptr<TFTasarim> TFTasarim::Create(ProjectState& project, MachineId machine, Messages& messages,
                                             FileDialogs& dialogs, const ErrorList& errors, QWidget* parent)
{
    auto metrics = std::make_unique<PainterFontMetrics>();
    auto measurer = std::make_unique<CanvasMeasurer>(*metrics);
    std::unique_ptr<MachineDocument> document = MachineDocument::Open(project, machine, messages, measurer.get());
    if (!document)
        return nullptr;
    std::unique_ptr<TFTasarim> window(new TFTasarim(project, machine, messages, dialogs, std::move(document),
                                                    std::move(metrics), std::move(measurer), parent));
    window->FillErrorList(errors);
    return window;
}

TFTasarim::TFTasarim(ProjectState& project, MachineId machine, Messages& messages, FileDialogs& dialogs,
                     std::unique_ptr<MachineDocument> document, std::unique_ptr<PainterFontMetrics> metrics,
                     std::unique_ptr<TextMeasurer> measurer, QWidget* parent)
    : QDialog(parent), project_(project), machine_(machine), messages_(messages), dialogs_(dialogs),
      metrics_(std::move(metrics)), measurer_(std::move(measurer)), document_(std::move(document)), router_(std::make_unique<ConnectionRouter>())
{
    setObjectName("TFTasarim");
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    BuildLayout();
    UpdateTitle();

    // Placed at (5, 5) over the main window, 20 pixels narrower and 22 lower.
    if (parent) {
        const QRect frame = parent->frameGeometry();
        setGeometry(frame.left() + 5, frame.top() + 5, std::max(640, frame.width() - 20),
                    std::max(480, frame.height() - 22));
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        setGeometry(available.left() + 5, available.top() + 5, available.width() - 20, available.height() - 22);
    }

    connect(document_.get(), &MachineDocument::changed, this, &TFTasarim::PictureChanged);
    connect(document_.get(), &MachineDocument::modifiedChanged, this, [this] { UpdateTitle(); });
    RebuildPicture();
    // Row 0, column 0 is selected when the window opens, and the picture has
    // the keys.
    SelectCellAt(QPoint(193, 198));
    canvas_->setFocus();
}

TFTasarim::~TFTasarim()
{
    document_->disconnect(this);
}

void TFTasarim::BuildLayout()
{
    // Undo and Redo stand on every tool page; their texts name the step
    // ("Undo Move Item").
    undoAction_ = document_->undoStack().createUndoAction(this, tr("Undo"));
    undoAction_->setObjectName("Undo");
    undoAction_->setShortcut(QKeySequence::Undo);
    redoAction_ = document_->undoStack().createRedoAction(this, tr("Redo"));
    redoAction_->setObjectName("Redo");
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolPages_ = new QTabWidget(this);
    toolPages_->setObjectName("toolPages");
    toolPages_->setFixedHeight(71);
    BuildToolPage("Standart", {{"Select", -1},
                               {"ReadKey", KindReadKey},
                               {"Input", KindInput},
                               {"Sync", KindSync},
                               {"w2Flash", KindWriteToFlash},
                               {"Return", KindTmrReturn}});
    BuildToolPage("Operations", {{"Select", -1},
                                 {"StrCpy", KindStrCopy},
                                 {"StrCat", KindStrCat},
                                 {"StrLen", KindStrLen},
                                 {"StrPos", KindStrPos},
                                 {"StrCmp", KindStrCmp},
                                 {"Process", KindProcess},
                                 {"NumCmp", KindNumCmp}});
    BuildToolPage("Misc", {{"Select", -1},
                           {"GetSeq", KindGetSequence},
                           {"GetDate", KindGetDate},
                           {"GetTime", KindGetTime},
                           {"Wdt", KindWdt},
                           {"Now", KindSecOfCentury}});
    auto* exportPage = new QToolBar(toolPages_);
    exportPage->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    exportPage->addAction(tr("Export"), this, &TFTasarim::ExportCommand)->setObjectName("Export");
    exportPage->addAction(tr("Import"), this, &TFTasarim::ImportCommand)->setObjectName("Import");
    AddCommandButtons(exportPage);
    toolPages_->addTab(exportPage, "Exp/Imp");
    toolPages_->setCurrentIndex(0);
    // Another page puts the Select tool back.
    connect(toolPages_, &QTabWidget::currentChanged, this, [this] { ChooseTool(-1); });
    layout->addWidget(toolPages_);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    canvas_ = new DesignCanvas(this);
    canvas_->setObjectName("canvas");
    canvas_->SetPicture(&picture_);
    middle->addWidget(canvas_, 1);
    panel_ = new PropertyPanel(*document_, messages_, this);
    panel_->setObjectName("propertyPanel");
    panel_->setFixedWidth(228);
    panel_->hide();
    middle->addWidget(panel_);
    layout->addLayout(middle, 1);

    errorList_ = new QTableWidget(0, 2, this);
    errorList_->setObjectName("errorList");
    errorList_->setFixedHeight(86);
    errorList_->setHorizontalHeaderLabels({"#", "Error  (double click the error to locate)"});
    errorList_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    errorList_->horizontalHeader()->resizeSection(0, 34);
    errorList_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    errorList_->horizontalHeader()->setStretchLastSection(true);
    errorList_->verticalHeader()->hide();
    errorList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    errorList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    errorList_->hide();
    connect(errorList_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { LocateError(row); });
    layout->addWidget(errorList_);

    connect(canvas_, &DesignCanvas::mouseMoved, this, &TFTasarim::OnMouseMoved);
    connect(canvas_, &DesignCanvas::mousePressed, this, &TFTasarim::OnMousePressed);
    connect(canvas_, &DesignCanvas::mouseReleased, this, &TFTasarim::OnMouseReleased);
    connect(canvas_, &DesignCanvas::mouseDoubleClicked, this, &TFTasarim::OnDoubleClicked);

    // Undo, redo and zoom keys work wherever the focus is in the window.
    addAction(undoAction_);
    addAction(redoAction_);
    auto addZoom = [this](QList<QKeySequence> keys, auto slot) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, [this] { canvas_->ZoomIn(); });
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { canvas_->ZoomOut(); });
    addZoom({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { canvas_->SetZoom(1.0); });
}

QToolBar* TFTasarim::BuildToolPage(const QString& title,
                                   const std::vector<std::pair<const char*, std::int32_t>>& tools)
{
    auto* bar = new QToolBar(toolPages_);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Each page's buttons are a group of their own, so that the Select button
    // of every page shows pressed while Select is the tool.
    auto* group = new QActionGroup(bar);
    group->setExclusive(true);
    for (const auto& [caption, kind] : tools) {
        auto* action = new QAction(QString::fromLatin1(caption), bar);
        action->setObjectName(QString::fromLatin1(caption));
        // "Wdt" and "Now" set the tool but do not stay pressed.
        const bool plain = kind == KindWdt || kind == KindSecOfCentury;
        action->setCheckable(!plain);
        if (!plain)
            group->addAction(action);
        const std::int32_t tool = kind;
        connect(action, &QAction::triggered, this, [this, tool] { ChooseTool(tool); });
        bar->addAction(action);
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        if (kind == -1) {
            action->setChecked(true);
            selectButtons_.push_back(button);
        } else {
            toolButtons_.emplace_back(kind, button);
            action->setVisible(MachineAllowsKind(machine_, kind));
        }
    }
    AddCommandButtons(bar);
    toolPages_->addTab(bar, title);
    return bar;
}

void TFTasarim::AddCommandButtons(QToolBar* bar)
{
    bar->addSeparator();
    QAction* compile = bar->addAction(commandImage(5), tr("Compile"), this, &TFTasarim::CompileCommand);
    compile->setToolTip("Compile program");
    compile->setObjectName("Compile");
    bar->addAction(commandImage(1), tr("Save"), this, &TFTasarim::SaveCommand)->setObjectName("Save");
    bar->addAction(commandImage(0), QStringLiteral("    Exit     "), this, &QDialog::close)->setObjectName("Exit");
    bar->addSeparator();
    bar->addAction(undoAction_);
    bar->addAction(redoAction_);
}

QToolButton* TFTasarim::toolButton(std::int32_t kind) const
{
    if (kind == -1)
        return selectButtons_.empty() ? nullptr : selectButtons_.front();
    for (const auto& [k, button] : toolButtons_)
        if (k == kind)
            return button;
    return nullptr;
}

void TFTasarim::ChooseTool(std::int32_t kind)
{
    currentTool_ = kind;
    if (kind == -1) {
        for (QToolButton* button : selectButtons_)
            button->defaultAction()->setChecked(true);
    } else if (QToolButton* button = toolButton(kind); button && button->defaultAction()->isCheckable()) {
        button->defaultAction()->setChecked(true);
    }
}

void TFTasarim::UpdateTitle()
{
    setWindowTitle(DesignWindowTitle(machine_) + (document_->isModified() ? QStringLiteral(" *") : QString()));
}

TFTasarim::Batch::Batch(TFTasarim& window) : window_(window)
{
    ++window_.batchDepth_;
}

TFTasarim::Batch::~Batch()
{
    if (--window_.batchDepth_ == 0 && window_.pictureStale_)
        window_.RebuildPicture();
}

void TFTasarim::PictureChanged()
{
    if (batchDepth_ > 0)
        pictureStale_ = true;
    else
        RebuildPicture();
}

void TFTasarim::RebuildPicture()
{
    pictureStale_ = false;
    MachineSelection selection;
    selection.row = document_->selectedRow();
    selection.column = document_->selectedColumn();
    selection.itemId = document_->selectedItemId();
    selection.exit = document_->selectedExit();
    router_->Route(document_->items(), selection.itemId, selection.exit);
    BuildMachinePicture(picture_, document_->items(), project_.variables, project_.gridColumns, project_.gridRows,
                        selection, *metrics_, router_->Lines());
    canvas_->PictureChanged();
    // The routing names every connection whose exit the item does not have,
    // on every redraw.
    for (const std::string& message : router_->Messages())
        messages_.ShowError(message);
}

bool TFTasarim::SelectCellAt(QPoint p)
{
    mousePoint_ = p;
    const int row = p.y() < 0 ? -1 : p.y() / kCellHeight;
    const int column = p.x() < 0 ? -1 : p.x() / kCellWidth;
    if (row < 0 || column < 0) {
        document_->Deselect();
        return true;
    }
    document_->SelectCell(row, column);
    if (panel_->isVisible())
        panel_->ShowItem(document_->selectedItemId());
    // Inside a batch the picture is built at its end; the view must already
    // scroll over the grid as it stands now (a row or column just inserted).
    const int width = PictureWidth(project_.gridColumns);
    const int height = PictureHeight(project_.gridRows);
    if (picture_.width != width || picture_.height != height) {
        picture_.width = width;
        picture_.height = height;
        canvas_->PictureChanged();
    }
    return canvas_->ScrollToCell(row, column);
}

void TFTasarim::OnMouseMoved(QPoint p)
{
    mousePoint_ = p;
    const int xr = p.x() % kCellWidth;
    const int yr = p.y() % kCellHeight;
    const QColor pixel = canvas_->PixelAt(p.x(), p.y());
    pixelUnderMouse_ = pixel;
    if (!OnPicture(p, project_) || xr < 35 || yr < 35)
        mouseZone_ = 0;
    else if (pixel == kEmptyCellFill)
        mouseZone_ = 1;
    else if ((yr < 185 && xr < 185) || pixel == kBoxFill)
        mouseZone_ = 2;
    else
        mouseZone_ = 3;

    Qt::CursorShape cursor = Qt::ArrowCursor;
    if (currentTool_ < 1) {
        if (mouseZone_ == 2)
            cursor = Qt::PointingHandCursor;
        else if (mouseZone_ == 3)
            cursor = Qt::DragMoveCursor;
    } else {
        cursor = mouseZone_ == 1 ? Qt::DragMoveCursor : Qt::ForbiddenCursor;
    }
    canvas_->viewport()->setCursor(cursor);
}

void TFTasarim::OnMousePressed(QPoint p, Qt::MouseButton button)
{
    // Beside the picture there is nothing to press on.
    if (!OnPicture(p, project_))
        return;
    HandlePress(p);
    // The menu opens on the picture as it now stands.
    if (button == Qt::RightButton && document_->selectedRow() >= 0)
        ShowContextMenu(p);
}

void TFTasarim::HandlePress(QPoint p)
{
    Batch batch(*this);
    OnMouseMoved(p);
    document_->SetSelectedExit({});
    if (currentTool_ < 1) {
        if (mouseZone_ == 0) {
            document_->Deselect();
        } else {
            dragArmed_ = SelectCellAt(p);
            // The picture is rebuilt only when the press has been handled, so
            // the pixel read for the mouse zone is still the one pressed on.
            const QColor pixel = pixelUnderMouse_;
            const TitcItem* item = document_->items().ItemById(document_->selectedItemId());
            if (pixel != kEmptyCellFill && pixel != kBoxFill && p.x() % kCellWidth > 34
                && p.y() % kCellHeight > 34 && item)
                document_->SetSelectedExit(ExitAt(*item, p.x() % kCellWidth, p.y() % kCellHeight, *metrics_));
        }
    } else if (mouseZone_ == 1) {
        document_->Deselect();
        const std::int32_t kind = currentTool_;
        if (document_->PlaceItem(kind, p.y() / kCellHeight, p.x() / kCellWidth) && panel_->isVisible())
            panel_->ShowItem(document_->items().IdAt(p.y() / kCellHeight, p.x() / kCellWidth));
        SelectCellAt(p);
        ChooseTool(-1);
        canvas_->viewport()->setCursor(Qt::PointingHandCursor);
    }
}

void TFTasarim::OnMouseReleased(QPoint p, Qt::MouseButton button)
{
    HandleRelease(p);
    // A click shows the selected cell in the panel, also when it took the
    // selection away (a press in a channel).
    if (button == Qt::LeftButton && panel_->isVisible())
        panel_->ShowItem(document_->selectedItemId());
}

void TFTasarim::HandleRelease(QPoint p)
{
    Batch batch(*this);
    if (!dragArmed_)
        return;
    dragArmed_ = false;
    const int fromRow = document_->selectedRow();
    const int fromColumn = document_->selectedColumn();
    const std::int32_t id = document_->selectedItemId();
    if (fromRow < 0 || id < 1 || currentTool_ != -1 || mouseZone_ == 0)
        return;
    if (p.x() < 0 || p.y() < 0)
        return;
    const int row = p.y() / kCellHeight;
    const int column = p.x() / kCellWidth;
    if ((row == fromRow && column == fromColumn) || row >= project_.gridRows || column >= project_.gridColumns)
        return;
    const std::int32_t target = document_->items().IdAt(row, column);
    if (target == -1) {
        document_->MoveItem(id, row, column);
        SelectCellAt(p);
        return;
    }
    // A drag from the item's body onto another item counts as an edit.
    const std::string exit = document_->selectedExit();
    document_->MarkModified();
    if (!exit.empty())
        document_->SetConnection(id, exit, target);
}

void TFTasarim::OnDoubleClicked(QPoint p)
{
    if (!OnPicture(p, project_) || document_->selectedRow() < 0)
        return;
    panel_->show();
    panel_->ShowItem(document_->selectedItemId());
}

void TFTasarim::ShowContextMenu(QPoint picturePoint)
{
    QMenu menu(this);
    menu.addAction(tr("Delete Item"), this, &TFTasarim::DeleteItemCommand);
    menu.addAction(tr("Delete Connection"), this, &TFTasarim::DeleteConnectionCommand);
    menu.addSeparator();
    menu.addAction(tr("Mark This Item As Entry Point"), this, &TFTasarim::MarkEntryPointCommand);
    menu.addSeparator();
    menu.addAction(tr("Insert Row To Up"), this, [this] { InsertRowOrColumnCommand(true, true); });
    menu.addAction(tr("Insert Row To Down"), this, [this] { InsertRowOrColumnCommand(false, true); });
    menu.addAction(tr("Insert Column To Left"), this, [this] { InsertRowOrColumnCommand(true, false); });
    menu.addAction(tr("Insert Column To Right"), this, [this] { InsertRowOrColumnCommand(false, false); });
    menu.addSeparator();
    menu.addAction(tr("Delete Row"), this, [this] { DeleteRowOrColumnCommand(true); });
    menu.addAction(tr("Delete Column"), this, [this] { DeleteRowOrColumnCommand(false); });
    menu.exec(canvas_->viewport()->mapToGlobal(canvas_->ToViewport(picturePoint)));
}

void TFTasarim::DeleteItemCommand()
{
    const std::int32_t id = document_->selectedItemId();
    if (document_->selectedRow() < 0 || id < 1)
        return;
    if (document_->items().Count() > 1 && id == 1) {
        messages_.ShowInfo("UYARI", "Ba\xfe"
                                    "lang\xfd\xe7 ekran\xfd silinemez...\rBa\xfe"
                                    "ka bir ekran\xfd ba\xfe"
                                    "lang\xfd\xe7 olarak atay\xfdn ve tekrar deneyin...");
        return;
    }
    if (messages_.AskYesNo("Confirm", "Delete the item?") != AnswerYes)
        return;
    document_->DeleteItem(id);
}

void TFTasarim::DeleteConnectionCommand()
{
    const std::int32_t id = document_->selectedItemId();
    const std::string exit = document_->selectedExit();
    if (document_->selectedRow() < 0 || id < 1 || exit.empty())
        return;
    if (messages_.AskYesNo("Confirm", "Delete the connection?") != AnswerYes)
        return;
    // Confirmed, it counts as an edit even on an exit that had no connection.
    document_->MarkModified();
    document_->SetConnection(id, exit, 0);
}

void TFTasarim::MarkEntryPointCommand()
{
    Batch batch(*this);
    const std::int32_t id = document_->selectedItemId();
    if (document_->selectedRow() < 0 || id <= 1)
        return;
    document_->MakeEntryPoint(id);
    ChooseTool(-1);
    SelectCellAt(mousePoint_);
}

void TFTasarim::InsertRowOrColumnCommand(bool before, bool isRow)
{
    Batch batch(*this);
    const int row = document_->selectedRow();
    const int column = document_->selectedColumn();
    if (row < 0)
        return;
    document_->Deselect();
    document_->InsertRowOrColumn(row, column, before, isRow);
    // The selection stays on the same item.
    const int newRow = isRow && before ? row + 1 : row;
    const int newColumn = !isRow && before ? column + 1 : column;
    SelectCellAt(QPoint(newColumn * kCellWidth + 193, newRow * kCellHeight + 198));
}

void TFTasarim::DeleteRowOrColumnCommand(bool isRow)
{
    Batch batch(*this);
    const int row = document_->selectedRow();
    const int column = document_->selectedColumn();
    if (row < 0)
        return;
    document_->Deselect();
    // Counts as an edit also when the grid refuses it.
    document_->MarkModified();
    document_->DeleteRowOrColumn(row, column, isRow);
}

void TFTasarim::keyPressEvent(QKeyEvent* event)
{
    // Delete and the arrows act on the picture's selection only while the
    // picture has the focus; a control with the focus (the error list, the
    // panel's fields, the page tabs) keeps the keys it does not use.
    const QWidget* focus = focusWidget();
    const bool fromPicture = !focus || focus == this || focus == canvas_ || focus == canvas_->viewport();
    Batch batch(*this);
    const int row = document_->selectedRow();
    const int column = document_->selectedColumn();
    switch (event->key()) {
    case Qt::Key_Delete: {
        const std::int32_t id = document_->selectedItemId();
        if (!fromPicture || row < 0 || id < 1)
            break;
        event->accept();
        document_->MarkModified();
        if (!document_->selectedExit().empty())
            DeleteConnectionCommand();
        else
            DeleteItemCommand();
        return;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!fromPicture)
            break;
        event->accept();
        if (row < 0) {
            SelectCellAt(QPoint(193, 198));
            return;
        }
        const int key = event->key();
        if (key == Qt::Key_Left && column > 0)
            SelectCellAt(QPoint(column * kCellWidth - 2, row * kCellHeight + 198));
        else if (key == Qt::Key_Right && column + 1 < project_.gridColumns)
            SelectCellAt(QPoint(column * kCellWidth + 388, row * kCellHeight + 198));
        else if (key == Qt::Key_Up && row > 0)
            SelectCellAt(QPoint(column * kCellWidth + 193, row * kCellHeight - 2));
        else if (key == Qt::Key_Down && row + 1 < project_.gridRows)
            SelectCellAt(QPoint(column * kCellWidth + 193, row * kCellHeight + 398));
        return;
    }
    case Qt::Key_Escape:
        // Esc does not close the design window; Exit and the close box do.
        event->accept();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

void TFTasarim::FillErrorList(const ErrorList& errors)
{
    errors_ = errors;
    errorList_->setRowCount(0);
    errorList_->setRowCount(errors.count());
    for (int i = 0; i < errors.count(); ++i) {
        auto* number = new QTableWidgetItem(QString::number(i + 1));
        number->setTextAlignment(Qt::AlignCenter);
        errorList_->setItem(i, 0, number);
        errorList_->setItem(i, 1, new QTableWidgetItem(fromCp1254(std::string(ErrorText(errors[i].code)))));
    }
    errorList_->setVisible(errors.count() > 0);
}

void TFTasarim::LocateError(int row)
{
    Batch batch(*this);
    if (row < 0 || row >= errors_.count())
        return;
    const TitcItem* item = document_->items().ItemById(errors_[row].id);
    if (!item)
        return;
    SelectCellAt(QPoint((item->column + 1) * kCellWidth - 2, (item->row + 1) * kCellHeight - 2));
}

void TFTasarim::CompileCommand()
{
    FillErrorList({});
    const CheckResult result = document_->Check();
    FillErrorList(result.errors);
    // A limit of the image is not an item error; say which instead of nothing.
    if (result.failure)
        messages_.ShowError(*result.failure);
}

void TFTasarim::SaveCommand()
{
    document_->Save();
}

void TFTasarim::ExportCommand()
{
    const std::optional<std::string> path =
        dialogs_.getSaveFileName("Design FileName", kDesignFilter, "zmkexp", "", true);
    if (path)
        document_->Export(*path);
}

bool TFTasarim::SaveQuestion()
{
    if (!document_->isModified())
        return true;
    const int answer = messages_.AskYesNoCancel("Confirm", kSaveQuestion);
    if (answer == AnswerCancel)
        return false;
    if (answer == AnswerYes)
        return document_->Save();
    return true;
}

void TFTasarim::ImportCommand()
{
    Batch batch(*this);
    if (!SaveQuestion())
        return;
    panel_->hide();
    const std::optional<std::string> path = dialogs_.getOpenFileName("Select the design file...", kDesignFilter, "zmkexp");
    if (!path)
        return;
    document_->Import(*path);
    ChooseTool(-1);
    SelectCellAt(QPoint(193, 198));
}

void TFTasarim::reject()
{
    // The close box and Exit come here (QDialog's close event rejects); both
    // ask first.
    if (!SaveQuestion())
        return;
    QDialog::done(QDialog::Rejected);
}

} // namespace qvt
