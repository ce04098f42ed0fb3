#include "shell/property_panel.h"

#include "core/cp1254.h"
#include "core/messages.h"
#include "editor/machine_document.h"
#include "editor/machine_picture.h"
#include "editor/property_rows.h"
#include "model/item_kinds.h"
#include "model/item_record.h"
#include "shell/screen_editor.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace qvt {

namespace {

using enum PanelRow;

constexpr int kCaptionWidth = 68;
constexpr int kSmallBoxWidth = 26;

bool IsVariableRow(PanelRow row)
{
    return row == Target || row == Source || row == Source2 || row == Start || row == End;
}

// Length of the common start of two texts.
qsizetype CommonPrefix(const QString& a, const QString& b)
{
    qsizetype p = 0;
    while (p < a.size() && p < b.size() && a[p] == b[p])
        ++p;
    return p;
}

// "U+4E2D, U+1F600" for the characters of `characters`.
std::string CodePoints(const QString& characters)
{
    std::string out;
    for (char32_t c : characters.toUcs4()) {
        if (!out.empty())
            out += ", ";
        out += QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper().toStdString();
    }
    return out;
}

// Position in the editor's document of byte `offset` of `text`, where a
// CR LF pair is one line break.
int DocumentPosition(std::string_view text, std::size_t offset)
{
    int position = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        ++position;
    }
    return position;
}

} // namespace

PropertyPanel::PropertyPanel(MachineDocument& document, Messages& messages, QWidget* parent)
    : QWidget(parent), document_(document), messages_(messages)
{
    BuildRows();
    connect(&document_, &MachineDocument::changed, this, &PropertyPanel::OnDocumentChanged);
}

QLineEdit* PropertyPanel::NewLineEdit(const char* name, int maxLength)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    return box;
}

PropertyPanel::Row& PropertyPanel::AddRow(PanelRow row, const QString& caption, QWidget* box)
{
    Row& r = rows_[row];
    r.widget = new QWidget(this);
    auto* layout = new QHBoxLayout(r.widget);
    layout->setContentsMargins(3, 1, 2, 1);
    layout->setSpacing(4);
    if (!caption.isEmpty() || row != Screen) {
        r.caption = new QLabel(caption, r.widget);
        r.caption->setFixedWidth(kCaptionWidth);
        layout->addWidget(r.caption);
    }
    if (box) {
        box->setParent(r.widget);
        layout->addWidget(box, 1);
    }
    r.list = qobject_cast<QComboBox*>(box);
    r.text = qobject_cast<QLineEdit*>(box);
    r.widget->hide();
    return r;
}

void PropertyPanel::BuildRows()
{
    // The panel's small type keeps its rows within its narrow column.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    title_ = new QLabel(QStringLiteral("Properties"), this);
    title_->setObjectName("title");
    title_->setAlignment(Qt::AlignCenter);
    title_->setFrameShape(QFrame::Panel);
    title_->setFrameShadow(QFrame::Raised);
    title_->setMinimumHeight(20);
    layout->addWidget(title_);

    auto list = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(false);
        box->setMaxVisibleItems(20);
        return box;
    };

    AddRow(StateNumber, "State #", NewLineEdit("stateNumber", 3));
    AddRow(Target, "Target", list("target"));
    QComboBox* operation = list("operation");
    for (std::string_view name : kOperationNames)
        operation->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    AddRow(Operation, "Operation", operation);
    AddRow(Source, "Source", list("source"));
    AddRow(Source2, "Source 2", list("source2"));
    AddRow(Start, "Start", list("start"));
    AddRow(ConsStart, "Cons.Start", NewLineEdit("consStart", 0));
    AddRow(End, "End", list("end"));
    AddRow(ConsEnd, "Cons.End", NewLineEdit("consEnd", 0));
    AddRow(ConstInteger, "Const.Integer", NewLineEdit("constInteger", 0));
    AddRow(ConstString, "Const.String", NewLineEdit("constString", 0));
    AddRow(Position, "Position", NewLineEdit("position", 0));
    QComboBox* inputType = list("inputType");
    for (std::string_view name : kInputTypeNames)
        inputType->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    AddRow(InputType, "Input Type", inputType);

    Row& length = AddRow(InputLength, "Input Length", nullptr);
    lengthBoxes_[0] = NewLineEdit("inputLength", 2);
    lengthBoxes_[1] = NewLineEdit("inputDecimals", 2);
    for (QLineEdit* box : lengthBoxes_) {
        box->setFixedWidth(kSmallBoxWidth);
        box->setParent(length.widget);
        length.widget->layout()->addWidget(box);
    }
    static_cast<QHBoxLayout*>(length.widget->layout())->addStretch(1);

    Row& position = AddRow(InputPos, "Input Pos.", nullptr);
    position.widget->layout()->setSpacing(2);
    const char* names[] = {"inputRow", "inputColumn", "inputFieldLength"};
    const char* captions[] = {"Row", "Col", "Len"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), position.widget);
        positionBoxes_[i] = NewLineEdit(names[i], 2);
        positionBoxes_[i]->setFixedWidth(kSmallBoxWidth);
        positionBoxes_[i]->setParent(position.widget);
        position.widget->layout()->addWidget(label);
        position.widget->layout()->addWidget(positionBoxes_[i]);
    }
    static_cast<QHBoxLayout*>(position.widget->layout())->addStretch(1);

    initBox_ = new QCheckBox(QStringLiteral("Show Target value as init"), this);
    initBox_->setObjectName("inputInit");
    QFont smaller = font();
    smaller.setPixelSize(10);
    initBox_->setFont(smaller);
    AddRow(InputInit, "Input Init.", initBox_);

    screen_ = new ScreenEditor(this);
    AddRow(Screen, QString(), screen_);

    for (auto& [row, r] : rows_) {
        r.widget->setObjectName(QStringLiteral("row%1").arg(static_cast<int>(row)));
        layout->addWidget(r.widget);
    }
    layout->addStretch(1);

    // User edits only: the fill sets the boxes without these signals.
    for (PanelRow row : {Target, Source, Source2, Start, End})
        connect(rows_[row].list, &QComboBox::activated, this, [this, row] { OnVariablePicked(row); });
    connect(operation, &QComboBox::activated, this, &PropertyPanel::OnOperationPicked);
    for (PanelRow row : {StateNumber, ConsStart, ConsEnd, Position})
        connect(rows_[row].text, &QLineEdit::textEdited, this, [this, row] { OnWholeNumberEdited(row); });
    connect(rows_[ConstInteger].text, &QLineEdit::textEdited, this, &PropertyPanel::OnConstIntegerEdited);
    connect(rows_[ConstString].text, &QLineEdit::textEdited, this, &PropertyPanel::OnConstStringEdited);
    connect(inputType, &QComboBox::activated, this, &PropertyPanel::OnInputTypeEdited);
    for (QLineEdit* box : lengthBoxes_)
        connect(box, &QLineEdit::textEdited, this, &PropertyPanel::OnInputTypeEdited);
    for (QLineEdit* box : positionBoxes_)
        connect(box, &QLineEdit::textEdited, this, &PropertyPanel::OnInputPositionEdited);
    connect(initBox_, &QCheckBox::clicked, this, &PropertyPanel::OnInputPositionEdited);
    connect(screen_->textEdit(), &QPlainTextEdit::textChanged, this, &PropertyPanel::OnScreenTextEdited);
    connect(screen_->insertVariableButton(), &QPushButton::clicked, this, &PropertyPanel::InsertVariable);
    connect(screen_->copyButton(), &QPushButton::clicked, this, &PropertyPanel::CopyWithVariable);
}

QWidget* PropertyPanel::rowWidget(PanelRow row) const
{
    const auto it = rows_.find(row);
    return it == rows_.end() ? nullptr : it->second.widget;
}

QLabel* PropertyPanel::caption(PanelRow row) const
{
    const auto it = rows_.find(row);
    return it == rows_.end() ? nullptr : it->second.caption;
}

QComboBox* PropertyPanel::listBox(PanelRow row) const
{
    const auto it = rows_.find(row);
    return it == rows_.end() ? nullptr : it->second.list;
}

QLineEdit* PropertyPanel::textBox(PanelRow row) const
{
    const auto it = rows_.find(row);
    return it == rows_.end() ? nullptr : it->second.text;
}

TitcItem* PropertyPanel::Item() const
{
    return shownItemId_ < 1 ? nullptr : document_.items().ItemById(shownItemId_);
}

const ItemField* PropertyPanel::FieldFor(PanelRow row) const
{
    const TitcItem* item = Item();
    if (!item)
        return nullptr;
    for (const ItemField& field : ItemFields(*item))
        if (field.row == row)
            return &field;
    return nullptr;
}

std::int32_t& PropertyPanel::IntField(TitcItem& item, PanelRow row, int which) const
{
    for (const ItemField& field : ItemFields(item))
        if (field.row == row && which-- == 0)
            return *std::get<std::int32_t*>(FieldOf(item, field));
    throw std::logic_error("the item has no whole-number field in this row");
}

void PropertyPanel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: event->accept(); return;
    default: QWidget::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------------------
// Showing an item

void PropertyPanel::ShowItem(std::int32_t id)
{
    const TitcItem* item = id < 1 ? nullptr : document_.items().ItemById(id);
    const std::string record = item ? item->WriteRecord() : std::string();
    if (filled_ && id == shownItemId_ && record == shownRecord_)
        return;
    shownItemId_ = id;
    Fill();
}

void PropertyPanel::OnDocumentChanged()
{
    // An undo or redo changed the item under the panel: show it as it is now.
    if (!filled_ || storing_ || filling_)
        return;
    const TitcItem* item = Item();
    const std::string record = item ? item->WriteRecord() : std::string();
    if (record != shownRecord_)
        Fill();
}

void PropertyPanel::Fill()
{
    filling_ = true;
    filled_ = true;
    ++session_;
    for (auto& [row, r] : rows_)
        r.widget->hide();
    TitcItem* item = Item();
    if (!item) {
        title_->setText(QStringLiteral("Properties"));
        screenFields_.clear();
        shownRecord_.clear();
        filling_ = false;
        return;
    }
    title_->setText(QStringLiteral("Properties (%1)").arg(shownItemId_));

    const std::int32_t kind = item->KindNumber();
    const std::vector<PanelRowOf> rows = PanelRows(kind);
    // Wdt names its three variable rows itself; the others keep these.
    rows_[Target].caption->setText(QStringLiteral("Target"));
    rows_[Source].caption->setText(QStringLiteral("Source"));
    rows_[Source2].caption->setText(QStringLiteral("Source 2"));
    VariableTable& variables = document_.project().variables;
    // A variable the item names must have a name to be shown in its list.
    for (const PanelRowOf& r : rows) {
        if (!IsVariableRow(r.row))
            continue;
        const std::int32_t value = IntField(*item, r.row);
        const std::vector<int> offered = VariableChoices(kind, r.row);
        if (std::find(offered.begin(), offered.end(), value) != offered.end())
            NameUnnamedVariable(variables, value);
    }

    for (const PanelRowOf& r : rows) {
        Row& row = rows_[r.row];
        if (row.caption)
            row.caption->setText(QString::fromLatin1(r.caption.data(), qsizetype(r.caption.size())));
        row.widget->show();
        switch (r.row) {
        case Target:
        case Source:
        case Source2:
        case Start:
        case End: FillVariableList(r.row, IntField(*item, r.row)); break;
        case Operation: {
            const std::int32_t op = IntField(*item, Operation);
            row.list->setCurrentIndex(op >= 0 && op < row.list->count() ? op : -1);
            break;
        }
        case StateNumber:
        case ConsStart:
        case ConsEnd:
        case Position: row.text->setText(QString::number(IntField(*item, r.row))); break;
        case ConstInteger:
            if (kind == KindWriteToFlash)
                row.text->setText(QString::number(IntField(*item, r.row)));
            else
                row.text->setText(fromCp1254(FormatConstant(*std::get<double*>(FieldOf(*item, *r.fields.front())))));
            break;
        case ConstString: row.text->setText(fromCp1254(*std::get<std::string*>(FieldOf(*item, *r.fields.front()))));
            break;
        case InputType: {
            const auto& input = static_cast<const TItcInputMenu&>(*item);
            const InputTypeView view = ViewInputType(input.inputFormat, input.inputSize);
            row.list->setCurrentIndex(view.type);
            lengthBoxes_[0]->setText(QString::number(view.length));
            lengthBoxes_[1]->setText(QString::number(view.decimals));
            lengthBoxes_[1]->setEnabled(view.decimalsEnabled);
            break;
        }
        case InputPos:
            for (int i = 0; i < 3; ++i)
                positionBoxes_[i]->setText(QString::number(IntField(*item, InputPos, i)));
            break;
        case InputInit: initBox_->setChecked(*std::get<bool*>(FieldOf(*item, *r.fields.front()))); break;
        case Screen: LoadScreenEditor(*std::get<std::string*>(FieldOf(*item, *r.fields.front()))); break;
        default: break;
        }
    }
    // Process and NumCmp show their constant only while the source is the constant.
    if (kind == KindProcess || kind == KindNumCmp)
        rows_[ConstInteger].widget->setVisible(rows_[Source].list->currentData().toInt() == 0
                                               && rows_[Source].list->currentIndex() >= 0);

    for (auto& [row, r] : rows_)
        if (r.text)
            Accept(r.text);
    for (QLineEdit* box : lengthBoxes_)
        Accept(box);
    for (QLineEdit* box : positionBoxes_)
        Accept(box);
    shownRecord_ = item->WriteRecord();
    filling_ = false;
}

void PropertyPanel::FillVariableList(PanelRow row, std::int32_t value)
{
    QComboBox* box = rows_[row].list;
    box->clear();
    const TitcItem* item = Item();
    for (const VariableChoice& choice :
         SortedVariableChoices(document_.project().variables, VariableChoices(item->KindNumber(), row)))
        box->addItem(fromCp1254(choice.name), choice.index);
    box->setCurrentIndex(box->findData(value));
}

// ---------------------------------------------------------------------------
// Editing

void PropertyPanel::Edit(PanelRow row, int box, const std::function<void(TitcItem&)>& edit)
{
    if (!Item())
        return;
    const PanelRowOf* r = nullptr;
    const std::vector<PanelRowOf> rows = PanelRows(Item()->KindNumber());
    r = FindPanelRow(rows, row);
    const QString name = r ? QStringLiteral("Edit %1").arg(QString::fromLatin1(r->caption.data(),
                                                                                   qsizetype(r->caption.size())))
                           : QStringLiteral("Edit");
    // Typing in one box during one showing of the item is one step.
    const int mergeKey = box < 0 ? -1 : (((session_ & 0xFFFFF) * 32 + static_cast<int>(row)) * 4 + box);
    storing_ = true;
    document_.EditItem(shownItemId_, name, mergeKey, edit);
    storing_ = false;
    const TitcItem* item = Item();
    shownRecord_ = item ? item->WriteRecord() : std::string();
}

QString PropertyPanel::accepted(QLineEdit* box) const
{
    return box->property("acceptedText").toString();
}

void PropertyPanel::Accept(QLineEdit* box)
{
    box->setProperty("acceptedText", box->text());
}

void PropertyPanel::Revert(QLineEdit* box)
{
    const QString old = accepted(box);
    const qsizetype cursor = CommonPrefix(old, box->text());
    box->setText(old);
    box->setCursorPosition(int(cursor));
}

void PropertyPanel::TakeLineBreaks(QLineEdit* box)
{
    const QString text = box->text();
    auto isBreak = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
    if (std::none_of(text.begin(), text.end(), isBreak))
        return;
    // Of what was typed or pasted, keep what comes before its first line
    // break, as a one-line box does; the rest of the box stays.
    const QString old = accepted(box);
    const qsizetype prefix = CommonPrefix(old, text);
    qsizetype suffix = 0;
    while (suffix < old.size() - prefix && suffix < text.size() - prefix
           && old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    QString inserted = text.mid(prefix, text.size() - prefix - suffix);
    const auto cut = std::find_if(inserted.begin(), inserted.end(), isBreak);
    inserted.truncate(cut - inserted.begin());
    QString result = text.left(prefix) + inserted + text.right(suffix);
    result.remove(QLatin1Char('\r'));
    result.remove(QLatin1Char('\n'));
    box->setText(result);
    box->setCursorPosition(int(prefix + inserted.size()));
}

void PropertyPanel::OnVariablePicked(PanelRow row)
{
    TitcItem* item = Item();
    if (filling_ || !item)
        return;
    QComboBox* box = rows_[row].list;
    const std::int32_t value = box->currentIndex() < 0 ? 0 : box->currentData().toInt();
    if (value != IntField(*item, row))
        Edit(row, -1, [this, row, value](TitcItem& it) { IntField(it, row) = value; });
    UpdateConstantRows(row);
}

void PropertyPanel::UpdateConstantRows(PanelRow changed)
{
    const TitcItem* item = Item();
    if (!item)
        return;
    const std::int32_t kind = item->KindNumber();
    QComboBox* box = rows_[changed].list;
    const bool constant = box->currentIndex() >= 0 && box->currentData().toInt() == 0;
    if ((kind == KindProcess || kind == KindNumCmp) && changed == Source)
        rows_[ConstInteger].widget->setVisible(constant);
    if (kind == KindStrCopy || kind == KindStrCat) {
        if (changed == Source)
            rows_[ConstString].widget->setVisible(constant);
        else if (changed == Start)
            rows_[ConsStart].widget->setVisible(constant);
        else if (changed == End)
            rows_[ConsEnd].widget->setVisible(constant);
    }
}

void PropertyPanel::OnOperationPicked()
{
    TitcItem* item = Item();
    if (filling_ || !item)
        return;
    const std::int32_t value = std::max(0, rows_[Operation].list->currentIndex());
    if (value != IntField(*item, Operation))
        Edit(Operation, -1, [this, value](TitcItem& it) { IntField(it, Operation) = value; });
}

void PropertyPanel::OnWholeNumberEdited(PanelRow row)
{
    TitcItem* item = Item();
    if (filling_ || !item)
        return;
    QLineEdit* box = rows_[row].text;
    TakeLineBreaks(box);
    const std::string text = toCp1254(box->text());
    const std::int32_t value = row == StateNumber ? ReadStateNumber(text) : ReadWholeNumber(text);
    if (value != IntField(*item, row))
        Edit(row, 0, [this, row, value](TitcItem& it) { IntField(it, row) = value; });
    Accept(box);
}

void PropertyPanel::OnConstIntegerEdited()
{
    TitcItem* item = Item();
    if (filling_ || !item)
        return;
    if (item->KindNumber() == KindWriteToFlash) {
        OnWholeNumberEdited(ConstInteger);
        return;
    }
    QLineEdit* box = rows_[ConstInteger].text;
    TakeLineBreaks(box);
    const ConstantReading reading = ReadConstant(toCp1254(box->text()));
    if (!reading.fits) {
        messages_.ShowError(kConstantTooLarge);
        Revert(box);
        return;
    }
    const ItemField* field = FieldFor(ConstInteger);
    if (ThousandthsOf(*std::get<double*>(FieldOf(*item, *field))) != reading.thousandths) {
        const double value = reading.thousandths / 1000.0;
        Edit(ConstInteger, 0, [field, value](TitcItem& it) { *std::get<double*>(FieldOf(it, *field)) = value; });
    }
    Accept(box);
}

void PropertyPanel::OnConstStringEdited()
{
    TitcItem* item = Item();
    if (filling_ || !item)
        return;
    QLineEdit* box = rows_[ConstString].text;
    TakeLineBreaks(box);
    const QString text = box->text();
    if (!FitsCp1254(text)) {
        messages_.ShowError(OutsideCodePageMessage(CodePoints(CharactersOutsideCp1254(text))));
        Revert(box);
        return;
    }
    const std::string bytes = toCp1254(text);
    if (const std::optional<std::string> problem = TypedTextProblem(bytes)) {
        messages_.ShowError(*problem);
        Revert(box);
        return;
    }
    const ItemField* field = FieldFor(ConstString);
    if (*std::get<std::string*>(FieldOf(*item, *field)) != bytes)
        Edit(ConstString, 0, [field, bytes](TitcItem& it) { *std::get<std::string*>(FieldOf(it, *field)) = bytes; });
    Accept(box);
}

bool PropertyPanel::ReadInputBox(QLineEdit* box, const std::function<bool(int)>& tooLarge, std::string_view message,
                                 int& value)
{
    TakeLineBreaks(box);
    const std::string text = toCp1254(box->text());
    const std::optional<std::int32_t> n = ReadInputNumber(text);
    if (!n) {
        messages_.ShowError(InvalidIntegerMessage(text));
        return false;
    }
    value = *n;
    if (tooLarge(value)) {
        messages_.ShowError(message);
        box->setText(QStringLiteral("0"));
        value = 0;
    }
    Accept(box);
    return true;
}

void PropertyPanel::OnInputTypeEdited()
{
    TitcItem* item = Item();
    if (filling_ || !item || item->KindNumber() != KindInput)
        return;
    const int box = sender() == lengthBoxes_[0] ? 0 : sender() == lengthBoxes_[1] ? 1 : -1;
    auto beyond = [](int n) { return n > kMaxInputLength; };
    int decimals = 0;
    int length = 0;
    if (!ReadInputBox(lengthBoxes_[1], beyond, kLengthTooLarge, decimals))
        return;
    if (!ReadInputBox(lengthBoxes_[0], beyond, kLengthTooLarge, length))
        return;
    const int type = rows_[InputType].list->currentIndex();
    const InputFormat format = ComposeInputFormat(type, length, decimals);
    lengthBoxes_[1]->setEnabled(IsRealInputType(type));

    auto& input = static_cast<TItcInputMenu&>(*item);
    // The variable of the Target box goes with them; a target its list does
    // not offer stays as it is.
    QComboBox* targetBox = rows_[Target].list;
    const std::int32_t target = targetBox->currentIndex() >= 0 ? targetBox->currentData().toInt() : input.target;
    if (format.format == input.inputFormat && format.size == input.inputSize && target == input.target)
        return;
    Edit(InputType, box, [format, target](TitcItem& it) {
        auto& in = static_cast<TItcInputMenu&>(it);
        in.inputFormat = format.format;
        in.inputSize = format.size;
        in.target = target;
    });
}

void PropertyPanel::OnInputPositionEdited()
{
    TitcItem* item = Item();
    if (filling_ || !item || item->KindNumber() != KindInput)
        return;
    int box = -1;
    for (int i = 0; i < 3; ++i)
        if (sender() == positionBoxes_[i])
            box = i;
    int row = 0;
    int column = 0;
    int length = 0;
    if (!ReadInputBox(positionBoxes_[0], [](int n) { return n > kMaxInputRow; }, kRowTooLarge, row))
        return;
    if (!ReadInputBox(positionBoxes_[1], [](int n) { return n > kMaxInputColumn; }, kColumnTooLarge, column))
        return;
    if (!ReadInputBox(positionBoxes_[2], [column](int n) { return column + n > kScreenWidth; }, kLengthBeyondLine,
                      length))
        return;
    const bool init = initBox_->isChecked();
    const auto& input = static_cast<const TItcInputMenu&>(*item);
    if (row == input.inputRow && column == input.inputColumn && length == input.maxLength
        && init == input.showInitial)
        return;
    Edit(box < 0 ? InputInit : InputPos, box, [row, column, length, init](TitcItem& it) {
        auto& in = static_cast<TItcInputMenu&>(it);
        in.inputRow = row;
        in.inputColumn = column;
        in.maxLength = length;
        in.showInitial = init;
    });
}

// ---------------------------------------------------------------------------
// The screen editor

QString PropertyPanel::EditorText() const
{
    QString text = screen_->textEdit()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void PropertyPanel::LoadScreenEditor(const std::string& screenText)
{
    ShowScreenText(screenText, -1);
}

void PropertyPanel::ShowScreenText(const std::string& stored, int cursor)
{
    const ScreenEditorText loaded = ScreenTextForEditor(stored);
    screenFields_ = loaded.fields;
    ScreenTextEdit* edit = screen_->textEdit();
    const bool wasUpdating = updatingScreen_;
    updatingScreen_ = true;
    edit->setPlainText(fromCp1254(loaded.text));
    if (cursor >= 0) {
        QTextCursor c = edit->textCursor();
        c.setPosition(std::min(cursor, edit->document()->characterCount() - 1));
        edit->setTextCursor(c);
    }
    std::vector<std::pair<int, int>> ranges;
    for (const ScreenField& field : screenFields_)
        ranges.emplace_back(DocumentPosition(loaded.text, field.offset), field.width);
    edit->SetFieldRanges(ranges);
    updatingScreen_ = wasUpdating;
    acceptedScreen_ = EditorText();
}

void PropertyPanel::RevertScreenText()
{
    ScreenTextEdit* edit = screen_->textEdit();
    const QString now = EditorText();
    const std::string old = toCp1254(acceptedScreen_);
    const int cursor = DocumentPosition(old, static_cast<std::size_t>(CommonPrefix(acceptedScreen_, now)));
    const auto ranges = edit->fieldRanges();
    updatingScreen_ = true;
    edit->setPlainText(acceptedScreen_);
    QTextCursor c = edit->textCursor();
    c.setPosition(std::min(cursor, edit->document()->characterCount() - 1));
    edit->setTextCursor(c);
    edit->SetFieldRanges(ranges);
    updatingScreen_ = false;
}

void PropertyPanel::OnScreenTextEdited()
{
    TitcItem* item = Item();
    const ItemField* field = FieldFor(Screen);
    if (filling_ || updatingScreen_ || !item || !field)
        return;
    const QString text = EditorText();
    if (!FitsCp1254(text)) {
        messages_.ShowError(OutsideCodePageMessage(CodePoints(CharactersOutsideCp1254(text))));
        RevertScreenText();
        return;
    }
    const std::string bytes = toCp1254(text);
    const std::string stored = ScreenTextFromEditor(bytes, screenFields_);
    if (const std::optional<std::string> problem = TypedTextProblem(stored)) {
        messages_.ShowError(*problem);
        RevertScreenText();
        return;
    }
    if (*std::get<std::string*>(FieldOf(*item, *field)) != stored)
        Edit(Screen, 0, [field, stored](TitcItem& it) { *std::get<std::string*>(FieldOf(it, *field)) = stored; });

    // The editor keeps showing every field in its editor form, numbered from
    // the start, so that the field table always matches what it shows.
    ScreenTextEdit* edit = screen_->textEdit();
    const ScreenEditorText loaded = ScreenTextForEditor(stored);
    const QString raw = edit->document()->toRawText();
    if (loaded.text != bytes || raw.contains(QChar::LineSeparator)) {
        ShowScreenText(stored, edit->textCursor().position());
        return;
    }
    screenFields_ = loaded.fields;
    std::vector<std::pair<int, int>> ranges;
    for (const ScreenField& f : screenFields_)
        ranges.emplace_back(DocumentPosition(loaded.text, f.offset), f.width);
    edit->SetFieldRanges(ranges);
    acceptedScreen_ = text;
}

void PropertyPanel::InsertVariable()
{
    TitcItem* item = Item();
    const ItemField* field = FieldFor(Screen);
    if (!item || !field)
        return;
    int variable = 0;
    int length = 0;
    if (!messages_.SelectVariable(kMaxFieldLength, variable, length))
        return;
    if (variable < kFirstString || variable > kLastFloat || length < 2)
        return;
    ScreenTextEdit* edit = screen_->textEdit();
    const QTextCursor cursor = edit->textCursor();
    const int line = cursor.blockNumber();
    const int column = cursor.positionInBlock();
    const std::string fieldText = VariableFieldText(variable, length);
    const std::string next = InsertIntoScreenText(toCp1254(EditorText()), line, column, fieldText);
    const std::string stored = ScreenTextFromEditor(next, screenFields_);
    if (const std::optional<std::string> problem = TypedTextProblem(stored)) {
        messages_.ShowError(*problem);
        return;
    }
    std::string& screenText = *std::get<std::string*>(FieldOf(*item, *field));
    if (screenText != stored)
        Edit(Screen, -1, [field, stored](TitcItem& it) { *std::get<std::string*>(FieldOf(it, *field)) = stored; });
    item = Item();
    if (!item)
        return;
    LoadScreenEditor(*std::get<std::string*>(FieldOf(*item, *field)));
    // The cursor goes behind the new field.
    const QTextBlock block = edit->document()->findBlockByNumber(line);
    if (block.isValid()) {
        QTextCursor after = edit->textCursor();
        after.setPosition(block.position() + std::min(column + length, block.length() - 1));
        edit->setTextCursor(after);
    }
    edit->setFocus();
}

void PropertyPanel::CopyWithVariable()
{
    const TitcItem* item = Item();
    const ItemField* field = FieldFor(Screen);
    if (!item || !field)
        return;
    std::string text = *std::get<const std::string*>(FieldOf(*item, *field));
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    QGuiApplication::clipboard()->setText(fromCp1254(text));
}

} // namespace qvt
