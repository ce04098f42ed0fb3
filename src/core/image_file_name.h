#pragma once

#include <string>
#include <string_view>

namespace qvt {

// The one rule that names a project's image file: the project file's name with
// its last three characters (the extension) replaced by "ITF". "scale.zmk"
// gives "scale.ITF", "noname.itf" gives "noname.ITF", a name of fewer than
// three characters gives "ITF". The image builder writes under this name and
// the uploader reads from it, so both must spell it the same way.
std::string ImageFileNameFor(std::string_view projectFileName);

} // namespace qvt
