#pragma once

// Variable fields of a screen text as the screen editor shows them.
//
// Stored, a field is the marker byte 178, a letter 'A' + variable index and
// '#' characters up to the field's width. In the editor the marker shows as
// byte 185 and the letter as 'A' + the field's number in the text (0 for the
// first), so the user sees which field is which; the field table remembers the
// variable of each number and turns the editor's text back into the stored one.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

inline constexpr unsigned char kStoredFieldMarker = 178;
inline constexpr unsigned char kEditorFieldMarker = 185;
// At most this many fields of a text are shown as fields; the rest keep
// their stored form.
inline constexpr int kMaxScreenFields = 80;
// The longest field "Insert Variable" makes.
inline constexpr int kMaxFieldLength = 20;

struct ScreenField {
    int variable = 0; // variable index
    int width = 0;    // marker, letter and '#' characters
    int line = 0;     // from 0; a line feed starts a line, a carriage return goes back to column 0
    int column = 0;
    std::size_t offset = 0; // of the marker, in bytes of the text
    bool operator==(const ScreenField&) const = default;
};

struct ScreenEditorText {
    std::string text; // Windows-1254 bytes, fields in their editor form
    std::vector<ScreenField> fields;
};

// The stored screen text in the editor's form, with its field table. A marker
// counts only with two characters after it and a letter naming a variable
// ('A' to 'A' + 115), as the picture and the compiler read it.
ScreenEditorText ScreenTextForEditor(std::string_view stored);

// The editor's text in stored form: every field marker 185 whose letter is the
// number of an entry of `fields` gets back its marker 178 and its variable's
// letter. Other bytes are kept.
std::string ScreenTextFromEditor(std::string_view editorText, std::span<const ScreenField> fields);

// A new field for "Insert Variable": marker, the variable's letter and '#'
// characters, `length` (2..20) characters in all.
std::string VariableFieldText(int variable, int length);

// `text` with `field` inserted at (`line`, `column`) of its lines, each line
// followed by CR LF. Lines are split at CR LF, CR or LF, and a final line
// break starts no further line; a line or column beyond the text inserts at
// the end.
std::string InsertIntoScreenText(std::string_view text, int line, int column, std::string_view field);

} // namespace qvt
