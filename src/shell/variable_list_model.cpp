#include "shell/variable_list_model.h"

#include "core/cp1254.h"
#include "core/decimal.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <unordered_map>

namespace qvt {

namespace {

std::string formatted(std::string_view pattern, std::string_view value)
{
    std::string out(pattern);
    if (const size_t at = out.find("%s"); at != std::string::npos)
        out.replace(at, 2, value);
    return out;
}

} // namespace

QString withoutLineBreak(const QString& text)
{
    qsizetype cut = text.indexOf(QLatin1Char('\n'));
    if (cut < 0)
        return text;
    if (cut > 0 && text[cut - 1] == QLatin1Char('\r'))
        --cut;
    return text.left(cut);
}

bool IsWholeNumberText(std::string_view text)
{
    return ParseWholeInitialValue(text).has_value();
}

bool IsRealNumberText(std::string_view text)
{
    return ParseRealInitialValue(text).has_value();
}

void CheckVariableTable(VariableTable& table, Messages& messages)
{
    for (int k = 0; k < kVariableCount; ++k) {
        VariableEntry& entry = table[size_t(k)];
        if (entry.name.empty())
            continue;
        for (int later = k + 1; later < kVariableCount; ++later)
            if (table[size_t(later)].name == entry.name)
                messages.ShowError(formatted(kDuplicateNameMessage, entry.name));
        if (k >= kFirstInteger && k <= kLastFloat) {
            const bool isNumber = k <= kLastInteger ? IsWholeNumberText(entry.initialValue)
                                                    : IsRealNumberText(entry.initialValue);
            if (entry.initialValue.empty())
                entry.initialValue = "0";
            else if (!isNumber)
                messages.ShowError(formatted(kIncorrectInitialValueMessage, entry.name));
        } else if (k >= kFirstSpecial) {
            entry.initialValue.clear();
        }
    }
}

void SaveVariableList(const VariableListModel& model, ProjectState& project, Messages& messages)
{
    project.modified = true;
    model.writeTo(project.variables);
    CheckVariableTable(project.variables, messages);
}

VariableListModel::VariableListModel(const VariableTable& table, QObject* parent) : QAbstractItemModel(parent)
{
    load(table);
}

void VariableListModel::load(const VariableTable& table)
{
    beginResetModel();
    table_ = table;
    groups_.clear();
    for (int i = 1; i < kVariableCount; ++i) {
        names_[size_t(i)] = table[size_t(i)].name;
        values_[size_t(i)] = table[size_t(i)].initialValue;
        const std::string& type = table[size_t(i)].typeWord;
        auto group = std::find_if(groups_.begin(), groups_.end(), [&](const Group& g) { return g.typeWord == type; });
        if (group == groups_.end())
            group = groups_.insert(groups_.end(), Group{type, {}});
        group->variables.push_back(i);
    }
    names_[0] = table[0].name;
    values_[0] = table[0].initialValue;
    // Groups by type word, descending; rows inside a group stay in index order.
    std::stable_sort(groups_.begin(), groups_.end(),
                     [](const Group& a, const Group& b) { return a.typeWord > b.typeWord; });
    for (size_t g = 0; g < groups_.size(); ++g)
        for (size_t row = 0; row < groups_[g].variables.size(); ++row) {
            groupOf_[size_t(groups_[g].variables[row])] = int(g);
            rowOf_[size_t(groups_[g].variables[row])] = int(row);
        }
    recountNames();
    endResetModel();
}

bool VariableListModel::differsFrom(const VariableTable& table) const
{
    for (int i = 1; i < kVariableCount; ++i)
        if (names_[size_t(i)] != table[size_t(i)].name || values_[size_t(i)] != table[size_t(i)].initialValue)
            return true;
    return false;
}

void VariableListModel::writeTo(VariableTable& table) const
{
    for (int i = 1; i < kVariableCount; ++i) {
        table[size_t(i)].name = names_[size_t(i)];
        table[size_t(i)].initialValue = values_[size_t(i)];
    }
}

std::vector<int> VariableListModel::namesakes(int variable) const
{
    std::vector<int> out;
    const std::string& name = names_[size_t(variable)];
    if (name.empty())
        return out;
    for (int i = 0; i < kVariableCount; ++i)
        if (i != variable && names_[size_t(i)] == name)
            out.push_back(i);
    return out;
}

void VariableListModel::recountNames()
{
    std::unordered_map<std::string_view, int> counts;
    for (const std::string& name : names_)
        if (!name.empty())
            ++counts[name];
    for (int i = 0; i < kVariableCount; ++i)
        duplicate_[size_t(i)] = !names_[size_t(i)].empty() && counts[names_[size_t(i)]] > 1;
}

QModelIndex VariableListModel::indexOf(int variable, int column) const
{
    if (variable < 1 || variable >= kVariableCount)
        return {};
    return createIndex(rowOf_[size_t(variable)], column, quintptr(groupOf_[size_t(variable)]) + 1);
}

int VariableListModel::variableAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return 0;
    return groups_[size_t(index.internalId() - 1)].variables[size_t(index.row())];
}

QModelIndex VariableListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column < 0 || column >= ColumnCount || row < 0)
        return {};
    if (!parent.isValid())
        return row < int(groups_.size()) ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= int(groups_.size()))
        return {};
    if (row >= int(groups_[size_t(parent.row())].variables.size()))
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex VariableListModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int VariableListModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(groups_.size());
    if (parent.internalId() == 0 && parent.column() == 0)
        return int(groups_[size_t(parent.row())].variables.size());
    return 0;
}

int VariableListModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

QVariant VariableListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() == 0) {
        const Group& group = groups_[size_t(index.row())];
        if (role == Qt::DisplayRole && index.column() == ColVariable)
            return QStringLiteral("Type: %1 (%2)").arg(fromCp1254(group.typeWord)).arg(group.variables.size());
        if (role == VariableIndexRole)
            return 0;
        return {};
    }
    const int variable = variableAt(index);
    const VariableEntry& slot = table_[size_t(variable)];
    if (role == VariableIndexRole)
        return variable;
    if (role == DuplicateNameRole)
        return index.column() == ColName && duplicate_[size_t(variable)];
    if (role == Qt::ToolTipRole && index.column() == ColName && duplicate_[size_t(variable)]) {
        QStringList others;
        for (int other : namesakes(variable))
            others << fromCp1254(table_[size_t(other)].defaultName);
        return QStringLiteral("This name is also used by %1. Program can work wrong.").arg(others.join(", "));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case ColVariable:
        return fromCp1254(slot.defaultName);
    case ColName:
        return fromCp1254(names_[size_t(variable)]);
    case ColType:
        return fromCp1254(slot.typeWord);
    case ColInitialValue:
        return fromCp1254(values_[size_t(variable)]);
    case ColIndex:
        return variable;
    }
    return {};
}

bool VariableListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int variable = variableAt(index);
    const QString text = withoutLineBreak(value.toString());
    // A character without a byte in the code page would be stored as '?'.
    if (!FitsCp1254(text))
        return false;
    const std::string bytes = toCp1254(text);
    if (index.column() == ColInitialValue) {
        if (values_[size_t(variable)] != bytes) {
            values_[size_t(variable)] = bytes;
            emit dataChanged(index, index);
        }
        return true;
    }
    if (names_[size_t(variable)] == bytes)
        return true;
    // The names this one shared before and shares now change their warning too.
    std::vector<int> touched = namesakes(variable);
    names_[size_t(variable)] = bytes;
    for (int other : namesakes(variable))
        touched.push_back(other);
    touched.push_back(variable);
    recountNames();
    for (int i : touched)
        if (i > 0) {
            const QModelIndex cell = indexOf(i, ColName);
            emit dataChanged(cell, cell);
        }
    return true;
}

Qt::ItemFlags VariableListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.internalId() == 0)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ColName || index.column() == ColInitialValue)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant VariableListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[ColumnCount] = {"Variable", "Name", "Type", "Initial Value", "Index"};
    if (section < 0 || section >= ColumnCount)
        return {};
    return QString::fromLatin1(captions[section]);
}

} // namespace qvt
