#include "core/image_file_name.h"

namespace qvt {

std::string ImageFileNameFor(std::string_view projectFileName)
{
    const std::size_t keep = projectFileName.size() >= 3 ? projectFileName.size() - 3 : 0;
    return std::string(projectFileName.substr(0, keep)) + "ITF";
}

} // namespace qvt
