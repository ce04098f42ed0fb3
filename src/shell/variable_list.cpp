#include "shell/variable_list.h"

#include "core/cp1254.h"
#include "shell/command_images.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

namespace qvt {

namespace {

// Shows every variable whose name or slot name contains the filter text, with
// the group it belongs to; a group without such a variable is left out.
class VariableNameFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setText(const QString& text)
    {
        text_ = text.trimmed();
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override
    {
        if (text_.isEmpty())
            return true;
        if (!sourceParent.isValid())
            return false;  // a group is shown for its matching rows (recursive filtering)
        const auto contains = [&](int column) {
            const QModelIndex cell = sourceModel()->index(sourceRow, column, sourceParent);
            return cell.data().toString().contains(text_, Qt::CaseInsensitive);
        };
        return contains(VariableListModel::ColName) || contains(VariableListModel::ColVariable);
    }

private:
    QString text_;
};

constexpr const char* kOriginalText = "qvtOriginalText";
constexpr const char* kLastGoodText = "qvtLastGoodText";

// Editors commit on every keystroke and never hold a line break; a Name cell
// that another variable also uses carries a warning mark.
class VariableCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setProperty(kOriginalText, index.data(Qt::EditRole));
            line->setProperty(kLastGoodText, index.data(Qt::EditRole));
            connect(line, &QLineEdit::textEdited, this, [this, line](const QString& text) {
                QString kept = withoutLineBreak(text);
                if (!FitsCp1254(kept)) {
                    // Refused as a whole, with the characters named.
                    QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())),
                                       tr("The project cannot store %1").arg(CharactersOutsideCp1254(kept)), line);
                    kept = line->property(kLastGoodText).toString();
                }
                if (kept != text)
                    line->setText(kept);
                line->setProperty(kLastGoodText, kept);
                emit const_cast<VariableCellDelegate*>(this)->commitData(line);
            });
        }
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        // The cell changes under its editor with every keystroke; setting the
        // same text again would only throw the cursor to the end.
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && line->text() == index.data(Qt::EditRole).toString())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // Esc gives the cell back the text it had when the edit began.
        auto* line = qobject_cast<QLineEdit*>(object);
        if (line && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            line->setText(line->property(kOriginalText).toString());
            emit commitData(line);
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(VariableListModel::DuplicateNameRole).toBool()) {
            option->backgroundBrush = QColor(255, 236, 179);
            option->features |= QStyleOptionViewItem::HasDecoration;
            const QStyle* style = option->widget ? option->widget->style() : nullptr;
            if (style)
                option->icon = style->standardIcon(QStyle::SP_MessageBoxWarning);
            option->decorationSize = QSize(14, 14);
        }
    }
};

} // namespace

void VariableGrid::finishEditing()
{
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

TFDegisken::TFDegisken(ProjectState& project, Messages& messages, QWidget* parent)
    : QDialog(parent)
    , project_(project)
    , messages_(messages)
    , model_(project.variables)
{
    setObjectName("TFDegisken");
    setWindowTitle(fromCp1254(kVariableListCaption));
    resize(491, 587);
    if (const QScreen* s = screen())
        move(s->availableGeometry().topLeft() + QPoint(10, 90));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName("ToolBar2");
    ToolBar2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar2->setIconSize(QSize(24, 24));
    ToolBar2->setMovable(false);
    aSakla = new QAction(commandImage(1), tr("Save"), this);
    aSakla->setObjectName("aSakla");
    aSakla->setShortcut(QKeySequence::Save);
    aCik = new QAction(commandImage(0), tr("Exit"), this);
    aCik->setObjectName("aCik");
    ToolBar2->addAction(aSakla);
    ToolBar2->addAction(aCik);
    connect(aSakla, &QAction::triggered, this, &TFDegisken::aSaklaExecute);
    connect(aCik, &QAction::triggered, this, &TFDegisken::aCikExecute);
    layout->addWidget(ToolBar2);

    eFilter = new QLineEdit(this);
    eFilter->setObjectName("eFilter");
    eFilter->setPlaceholderText(tr("Find a variable by name"));
    eFilter->setClearButtonEnabled(true);
    auto* filterBox = new QVBoxLayout;
    filterBox->setContentsMargins(4, 0, 4, 0);
    filterBox->addWidget(eFilter);
    layout->addLayout(filterBox);

    filter_ = new VariableNameFilter(this);
    filter_->setRecursiveFilteringEnabled(true);
    // Editing a name must not make its row vanish under the cursor; the filter
    // applies again when its text changes.
    filter_->setDynamicSortFilter(false);
    filter_->setSourceModel(&model_);

    cxGrid1 = new VariableGrid(this);
    cxGrid1->setObjectName("cxGrid1");
    cxGrid1->setModel(filter_);
    cxGrid1->setItemDelegate(new VariableCellDelegate(cxGrid1));
    cxGrid1->setUniformRowHeights(true);
    cxGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    cxGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    cxGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                             | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    cxGrid1->setTabKeyNavigation(true);
    cxGrid1->setAllColumnsShowFocus(false);
    cxGrid1->setColumnHidden(VariableListModel::ColIndex, true);
    QHeaderView* header = cxGrid1->header();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(cxGrid1, 1);

    const auto spanGroups = [this] {
        for (int row = 0; row < filter_->rowCount(); ++row)
            cxGrid1->setFirstColumnSpanned(row, {}, true);
        cxGrid1->expandAll();
    };
    spanGroups();
    connect(eFilter, &QLineEdit::textChanged, this, [this, spanGroups](const QString& text) {
        setFilterText(text);
        spanGroups();
    });

    const QModelIndex first = filter_->mapFromSource(model_.indexOf(1, VariableListModel::ColName));
    cxGrid1->setCurrentIndex(first);
    cxGrid1->setFocus();
}

int TFDegisken::visibleVariableCount() const
{
    int count = 0;
    for (int group = 0; group < filter_->rowCount(); ++group)
        count += filter_->rowCount(filter_->index(group, 0));
    return count;
}

void TFDegisken::setFilterText(const QString& text)
{
    if (eFilter->text() != text) {
        eFilter->setText(text);  // comes back through textChanged
        return;
    }
    static_cast<VariableNameFilter*>(filter_)->setText(text);
}

void TFDegisken::aSaklaExecute()
{
    cxGrid1->finishEditing();
    SaveVariableList(model_, project_, messages_);
}

void TFDegisken::aCikExecute()
{
    cxGrid1->finishEditing();
    if (model_.differsFrom(project_.variables)) {
        const int answer = messages_.AskYesNoCancel(kConfirmTitle, kSaveChangesQuestion);
        if (answer == AnswerCancel)
            return;
        if (answer == AnswerYes)
            SaveVariableList(model_, project_, messages_);
    }
    done(QDialog::Accepted);
}

void TFDegisken::keyPressEvent(QKeyEvent* event)
{
    // Esc leaves like Exit, so typed names are not lost without a question.
    // (While a cell is being edited, Esc only ends the edit.)
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        aCikExecute();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFDegisken::closeEvent(QCloseEvent* event)
{
    // The close box leaves without saving and without asking.
    event->accept();
    QDialog::closeEvent(event);
}

void ShowVariableList(ProjectState& project, Messages& messages, QWidget* parent)
{
    TFDegisken window(project, messages, parent);
    window.exec();
}

} // namespace qvt
