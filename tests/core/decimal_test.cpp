#include "core/decimal.h"

#include <gtest/gtest.h>

#include <optional>

using qvt::ParseDecimal;

TEST(ParseDecimal, OneSignDigitsAndNothingElseWithin32Bits)
{
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"+7", 7},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {"--5", std::nullopt},
        {"++5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"12a", std::nullopt},
        {"0x1F", std::nullopt},
        {"$1F", std::nullopt},
        {"1e3", std::nullopt},
        {"1.0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
}
