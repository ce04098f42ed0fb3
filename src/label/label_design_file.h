#pragma once

#include "label/ini_file.h"
#include "label/label_design.h"
#include "core/messages.h"

#include <string>

namespace qvt {

// The label design file (".ini"), through which designs travel between
// projects: [CNT] Cnt, [DEGISKENCNT] DegiskenCnt, [ETIKET] EtiketTipi,
// EtiketYon, BarkodTipi, [EBAT] width, height, then one section per element
// named by its index from 0: x, y, x1, y1, Tip, and alan/yazi and font by
// kind. Variables are stored by default name.

inline constexpr std::string_view kLabelDesignFilter = "Label Design File|*.ini|All Files|*.*";
inline constexpr std::string_view kLabelDesignExtension = "ini";

// Writes the design's keys into `file`; keys and sections already there stay
// unless overwritten, so the sections of a longer earlier design remain (the
// import reads only as many as "Cnt" says). Line breaks in a text are stored
// as the bytes 0xF8 (LF) and 0xF9 (CR), as in the label text, so that a text
// can never break the file into lines of its own; import turns them back.
void ExportDesign(const LabelDesign& design, IniFile& file, const VariableTable& variables);

// Export into the file at `path`, creating it or updating it in place. The
// file is replaced as a whole; on failure the old file stays untouched and
// "Label File save error." is shown.
bool ExportDesign(const LabelDesign& design, const std::string& path, const VariableTable& variables,
                  Messages& messages);

// Replaces the design's elements and label properties by the file's. False,
// with the elements read so far kept, when an element section has no known
// "Tip", when "Cnt" is above 100, or when the elements would need more than 30
// variable slots. Label properties not in the window's lists read as missing.
bool ImportDesign(LabelDesign& design, const IniFile& file, const VariableTable& variables);

// Import from the file at `path`; any failure shows "Label File open error.".
bool ImportDesign(LabelDesign& design, const std::string& path, const VariableTable& variables,
                  Messages& messages);

} // namespace qvt
