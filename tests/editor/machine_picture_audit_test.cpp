#include "editor/machine_picture.h"

#include "model/item_kinds.h"

#include <gtest/gtest.h>

#include <climits>

namespace qvt {
namespace {

// Only the entry item's title is cut to 20 characters, after " Start" is
// added; another item keeps its whole title, however long its number.
TEST(MachinePictureTitles, OnlyTheEntryTitleIsCut)
{
    VariableTable variables;
    ResetVariables(variables);
    struct Case {
        std::int32_t kind;
        std::int32_t id;
        std::int32_t stateNumber;
        const char* title;
    };
    const Case cases[] = {
        {KindReadKey, 2, INT_MIN, "ReadKey (-2147483648)"}, // 21 characters, read from a text
        {KindReadKey, 1, INT_MIN, "ReadKey (-2147483648"},
        {KindReadKey, 1, 255, "ReadKey (255) Start"},
        {KindInput, 3, INT_MIN, "Input (-2147483648)"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TitcItem> item = CreateItem(c.kind, nullptr);
        item->id = c.id;
        if (c.kind == KindReadKey)
            static_cast<TItcReadKeyMenu&>(*item).stateNumber = c.stateNumber;
        else
            static_cast<TItcInputMenu&>(*item).stateNumber = c.stateNumber;
        EXPECT_EQ(ItemTexts(*item, variables).title, c.title) << c.title;
    }
}

} // namespace
} // namespace qvt
