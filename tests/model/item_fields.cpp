#include "item_fields.h"

#include <cstdio>
#include <iterator>
#include <limits>
#include <type_traits>
#include <variant>

namespace qvt::test {

namespace {
std::string Show(std::int32_t v) { return std::to_string(v); }
std::string Show(bool v) { return v ? "true" : "false"; }
std::string Show(const std::string& v) { return v; }
std::string Show(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}
} // namespace

std::map<std::string, std::string> FieldsOf(const TitcItem& item)
{
    std::map<std::string, std::string> out = {
        {"id", Show(item.id)}, {"row", Show(item.row)}, {"column", Show(item.column)}, {"kind", Show(item.kind)}};
    for (const ItemField& field : ItemFields(item))
        std::visit([&](const auto* value) { out[std::string(field.name)] = Show(*value); }, FieldOf(item, field));
    return out;
}

void FillKindFields(TitcItem& item, int seed)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int32_t ints[] = {kMax, kMin, -1, 1, 255, 1000, 0, 116};
    const double constants[] = {2147483.647, -2147483.648, 12.5, -0.001, 0.0};
    std::string text;
    for (int b = 0; b < 256; ++b)
        if (b != 248 && b != 249 && b != 255)
            text += static_cast<char>(b);
    int n = seed;
    for (const ItemField& f : ItemFields(item)) {
        const int k = n++;
        std::visit(
            [&](auto* field) {
                using T = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<T, std::string>) {
                    *field = k % 2 ? text : std::string();
                } else if constexpr (std::is_same_v<T, double>) {
                    *field = constants[k % std::size(constants)];
                } else if constexpr (std::is_same_v<T, bool>) {
                    *field = k % 2;
                } else if (f.type == FieldType::InputFormat || f.type == FieldType::InputSize) {
                    *field = k % 2 ? 255 : 0;
                } else {
                    *field = ints[k % std::size(ints)];
                }
            },
            FieldOf(item, f));
    }
}

} // namespace qvt::test
