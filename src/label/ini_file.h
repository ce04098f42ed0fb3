#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

// An initialization file as Windows programs keep them: "[section]" lines,
// each followed by "key=value" lines. Section and key names compare without
// regard to ASCII case; the first matching section and key count. Values are
// 8-bit bytes taken exactly as they stand after the "=" (only the line end is
// dropped), so any byte a file holds reads back unchanged. Setting a key
// replaces its line in place, adds a missing key at the end of its section
// and a missing section at the end of the file; every other line stays as it
// was, comments and unknown sections included.
class IniFile {
public:
    IniFile() = default;
    // Parses file bytes; lines may end in CR LF or LF.
    explicit IniFile(std::string_view bytes);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string text(std::string_view section, std::string_view key, std::string_view fallback) const;
    // A decimal integer, blanks around it allowed; `fallback` when the key is
    // missing or its value is not such a number.
    int integer(std::string_view section, std::string_view key, int fallback) const;

    void set(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, every line ended by CR LF.
    std::string bytes() const;

    // Reads a whole file; nullopt when it cannot be read.
    static std::optional<IniFile> load(const std::string& path);
    // Writes the whole file atomically: on failure the old file stays whole.
    bool save(const std::string& path) const;

private:
    struct Line {
        std::string text;
        // Parsed form; a section line has a section name, a key line a key.
        std::string section;
        std::string key;
        size_t valueStart = 0;
        bool isSection = false;
        bool isKey = false;
    };
    static Line parse(std::string text);
    // Range [first, end) of the section's body lines; nullopt when absent.
    std::optional<std::pair<size_t, size_t>> sectionBody(std::string_view section) const;

    std::vector<Line> lines_;
};

} // namespace qvt
