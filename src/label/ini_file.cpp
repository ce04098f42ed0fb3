#include "label/ini_file.h"

#include "core/atomic_file.h"
#include "core/decimal.h"
#include "core/read_file.h"

namespace qvt {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

} // namespace

IniFile::Line IniFile::parse(std::string text)
{
    Line line;
    std::string_view t = trimmed(text);
    if (!t.empty() && t.front() == '[') {
        size_t close = t.find(']');
        line.isSection = true;
        line.section = std::string(trimmed(t.substr(1, close == std::string_view::npos ? t.npos : close - 1)));
    } else if (!t.empty() && t.front() != ';') {
        size_t eq = text.find('=');
        if (eq != std::string::npos) {
            line.isKey = true;
            line.key = std::string(trimmed(std::string_view(text).substr(0, eq)));
            line.valueStart = eq + 1;
        }
    }
    line.text = std::move(text);
    return line;
}

IniFile::IniFile(std::string_view bytes)
{
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        std::string_view line = bytes.substr(pos, end == std::string_view::npos ? bytes.npos : end - pos);
        pos = end == std::string_view::npos ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.push_back(parse(std::string(line)));
    }
}

std::optional<std::pair<size_t, size_t>> IniFile::sectionBody(std::string_view section) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!lines_[i].isSection || !sameName(lines_[i].section, section))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && !lines_[end].isSection)
            ++end;
        return std::pair{i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    auto body = sectionBody(section);
    if (!body)
        return std::nullopt;
    for (size_t i = body->first; i < body->second; ++i)
        if (lines_[i].isKey && sameName(lines_[i].key, key))
            return lines_[i].text.substr(lines_[i].valueStart);
    return std::nullopt;
}

std::string IniFile::text(std::string_view section, std::string_view key, std::string_view fallback) const
{
    auto v = value(section, key);
    return v ? *v : std::string(fallback);
}

int IniFile::integer(std::string_view section, std::string_view key, int fallback) const
{
    auto v = value(section, key);
    if (!v)
        return fallback;
    return ParseDecimal(trimmed(*v)).value_or(fallback);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value)
{
    std::string text = std::string(key) + "=" + std::string(value);
    auto body = sectionBody(section);
    if (!body) {
        lines_.push_back(parse("[" + std::string(section) + "]"));
        lines_.push_back(parse(std::move(text)));
        return;
    }
    for (size_t i = body->first; i < body->second; ++i) {
        if (lines_[i].isKey && sameName(lines_[i].key, key)) {
            lines_[i] = parse(std::move(text));
            return;
        }
    }
    // After the section's last non-blank line, so blank lines keep separating sections.
    size_t at = body->second;
    while (at > body->first && trimmed(lines_[at - 1].text).empty())
        --at;
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), parse(std::move(text)));
}

std::string IniFile::bytes() const
{
    std::string out;
    for (const Line& l : lines_) {
        out += l.text;
        out += "\r\n";
    }
    return out;
}

std::optional<IniFile> IniFile::load(const std::string& path)
{
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return IniFile(*bytes);
}

bool IniFile::save(const std::string& path) const
{
    return WriteFileAtomically(path, bytes());
}

} // namespace qvt
