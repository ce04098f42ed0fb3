#include "editor/screen_fields.h"

#include "core/project_state.h"

#include <algorithm>

namespace qvt {

namespace {

constexpr unsigned char kFirstLetter = 'A';
constexpr unsigned char kLastLetter = 'A' + kVariableCount - 1;

unsigned char Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

} // namespace

ScreenEditorText ScreenTextForEditor(std::string_view stored)
{
    ScreenEditorText out;
    out.text.assign(stored);
    const std::size_t n = stored.size();
    int line = 0;
    int column = 0;
    std::size_t i = 0;
    while (i + 2 < n && out.fields.size() < static_cast<std::size_t>(kMaxScreenFields)) {
        const unsigned char c = Byte(stored, i);
        const unsigned char letter = Byte(stored, i + 1);
        if (c == kStoredFieldMarker && letter >= kFirstLetter && letter <= kLastLetter) {
            std::size_t end = i + 2;
            while (end < n && stored[end] == '#')
                ++end;
            const int width = static_cast<int>(end - i);
            out.fields.push_back({letter - kFirstLetter, width, line, column, i});
            out.text[i] = static_cast<char>(kEditorFieldMarker);
            out.text[i + 1] = static_cast<char>(kFirstLetter + out.fields.size() - 1);
            column += width;
            i = end;
            continue;
        }
        if (c == '\n') {
            ++line;
            column = 0;
        } else if (c == '\r') {
            column = 0;
        } else {
            ++column;
        }
        ++i;
    }
    return out;
}

std::string ScreenTextFromEditor(std::string_view editorText, std::span<const ScreenField> fields)
{
    std::string out(editorText);
    const std::size_t n = out.size();
    std::size_t i = 0;
    while (i + 2 < n) {
        const unsigned char c = Byte(out, i);
        const unsigned char letter = Byte(out, i + 1);
        const int number = letter - kFirstLetter;
        if (c == kEditorFieldMarker && letter > 64 && number < static_cast<int>(fields.size())) {
            const ScreenField& field = fields[static_cast<std::size_t>(number)];
            out[i] = static_cast<char>(kStoredFieldMarker);
            out[i + 1] = static_cast<char>(kFirstLetter + field.variable);
            i += static_cast<std::size_t>(std::max(field.width, 2));
            continue;
        }
        ++i;
    }
    return out;
}

std::string VariableFieldText(int variable, int length)
{
    std::string field;
    field += static_cast<char>(kStoredFieldMarker);
    field += static_cast<char>(kFirstLetter + variable);
    field.append(static_cast<std::size_t>(kMaxFieldLength), '#');
    field.resize(static_cast<std::size_t>(std::clamp(length, 0, kMaxFieldLength)));
    return field;
}

std::string InsertIntoScreenText(std::string_view text, int line, int column, std::string_view field)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(start, end - start));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    line = std::max(line, 0);
    if (static_cast<std::size_t>(line) >= lines.size())
        line = static_cast<int>(lines.size()); // a new last line
    std::string out;
    for (std::size_t k = 0; k <= lines.size(); ++k) {
        if (k == static_cast<std::size_t>(line)) {
            const std::string_view current = k < lines.size() ? lines[k] : std::string_view();
            const std::size_t at = std::min(static_cast<std::size_t>(std::max(column, 0)), current.size());
            out += current.substr(0, at);
            out += field;
            out += current.substr(at);
            out += "\r\n";
        } else if (k < lines.size()) {
            out += lines[k];
            out += "\r\n";
        }
    }
    return out;
}

} // namespace qvt
