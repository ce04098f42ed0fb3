#include "core/image_file_name.h"

#include <gtest/gtest.h>

namespace qvt {
namespace {

TEST(ImageFileName, ReplacesTheLastThreeCharacters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\work\\scale.zmk", "C:\\work\\scale.ITF"},
        {"/home/ayse/a.zmk", "/home/ayse/a.ITF"},
        {"noname.itf", "noname.ITF"},
        {"x.ITF", "x.ITF"},
        {"ab", "ITF"},
        {"", "ITF"},
    };
    for (const auto& [project, image] : cases)
        EXPECT_EQ(ImageFileNameFor(project), image) << project;
}

} // namespace
} // namespace qvt
