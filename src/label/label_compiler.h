#pragma once

#include "core/project_state.h"

#include <string>
#include <string_view>

namespace qvt {

// The compiled label the terminal prints from: a 123-byte header, then the
// printer stream. Header: byte 0 the number of insertion entries (at most
// 30), bytes 1-2 the stream length (little-endian), then 4 bytes per entry:
// value kind (2 string, 3 integer, 4 float), variable number within its kind
// minus 1, and the little-endian stream offset of the CR before which the
// terminal inserts the variable's value. Unused entry bytes are zero.
inline constexpr size_t kLabelHeaderBytes = 123;
inline constexpr int kMaxInsertions = 30;
inline constexpr size_t kMaxLabelDataBytes = 5120;
inline constexpr std::string_view kLabelTooLarge = "File Size max: 5 Kbyte";

enum class LabelMode {
    Image,  // header and stream, values left for the terminal
    Print,  // the stream alone, with each variable's initial value printed
};

// Compiles a label text. The output is the compiled label data (image mode)
// or the printer stream (print mode) on success; on failure it is empty or
// holds the reason ("File Size max: 5 Kbyte"). An empty label text compiles
// to an empty output.
bool CompileLabel(std::string_view labelText, const VariableTable& variables, LabelMode mode, std::string& output);

// The same on the project's label text; an empty label text also empties the
// project's compiled label data.
bool CompileLabel(ProjectState& project, LabelMode mode, std::string& output);

// Rebuilds project.labelData from project.labelText in image mode. On failure
// labelData holds the message to show; the result tells which.
bool CompileProjectLabel(ProjectState& project);

} // namespace qvt
