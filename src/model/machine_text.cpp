// Reading and writing a whole machine: the project's machine text and the
// stand-alone design file.

#include "model/item_kinds.h"
#include "model/item_record.h"
#include "model/items_list.h"
#include "core/atomic_file.h"
#include "core/messages.h"
#include "core/read_file.h"

#include <exception>

namespace qvt {

namespace {
constexpr std::string_view kDesignFileVersion = "V100";
constexpr std::string_view kCorruptLine = "Incorrect data.  File is corrupted.  Data is ignored.";
constexpr std::string_view kSaveFailed = "Unexpected error while saving file.";
constexpr std::string_view kWrongFormat = "Incorrect version or file format.";

// Lines of a text file: CR LF, LF and a lone CR all end a line; a final line
// end does not start an empty line.
MachineText SplitLines(std::string_view text)
{
    MachineText lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}
} // namespace

void TitcItemsList::ReadLines(const MachineText& lines, std::size_t from)
{
    for (std::size_t i = from; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::optional<std::int32_t> kind = KindOfRecord(line);
        std::unique_ptr<TitcItem> item = kind ? CreateItem(*kind, measurer_) : nullptr;
        if (!item) {
            messages_->ShowError(kCorruptLine);
            continue;
        }
        const bool accepted = item->ReadRecord(line);
        // The class was chosen from this line's kind number; a base section
        // whose later keys could not be read must not leave the item claiming
        // another kind (the compiler encodes by it).
        item->kind = item->KindNumber();
        if (item->id < 1 || item->id > kMaxItemId)
            throw MachineTextError(static_cast<int>(i), item->id, !accepted);
        items_[item->id - 1] = std::move(item);
    }
}

std::string TitcItemsList::UnstorableTextProblem() const
{
    std::string problem;
    ForEachItem([&](const TitcItem& item) {
        if (!problem.empty())
            return;
        // A text holding "#3" ends the record early; the rest would read back
        // as text after the end mark and the whole record would be refused.
        const std::string record = item.WriteRecord();
        if (record.find("#3") != record.size() - 2)
            problem = "Item " + std::to_string(item.id) +
                      " holds the characters \"#3\" in a text and cannot be saved.  Change the text and save again.";
    });
    return problem;
}

bool TitcItemsList::SaveToMachineText(MachineText& lines)
{
    try {
        if (const std::string problem = UnstorableTextProblem(); !problem.empty()) {
            messages_->ShowError(problem);
            return false;
        }
        MachineText text;
        ForEachItem([&](const TitcItem& item) { text.push_back(item.WriteRecord()); });
        lines = std::move(text);
        return true;
    } catch (const std::exception&) {
        messages_->ShowError(kSaveFailed);
        return false;
    }
}

bool TitcItemsList::ExportToFile(const std::string& path)
{
    try {
        if (const std::string problem = UnstorableTextProblem(); !problem.empty()) {
            messages_->ShowError(problem);
            return false;
        }
        std::string text(kDesignFileVersion);
        text += "\r\n";
        ForEachItem([&](const TitcItem& item) {
            text += item.WriteRecord();
            text += "\r\n";
        });
        if (WriteFileAtomically(path, text))
            return true;
    } catch (const std::exception&) {
    }
    messages_->ShowError(kSaveFailed);
    return false;
}

void TitcItemsList::ImportFromFile(const std::string& path)
{
    Clear();
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes)
        throw DesignFileError(path);
    const MachineText lines = SplitLines(*bytes);
    if (lines.empty() || lines[0] != kDesignFileVersion) {
        messages_->ShowError(kWrongFormat);
        return;
    }
    ReadLines(lines, 1);
    Refresh();
}

} // namespace qvt
