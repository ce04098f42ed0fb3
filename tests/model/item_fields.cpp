#include "item_fields.h"

#include <cstdio>
#include <iterator>
#include <limits>
#include <type_traits>

namespace qvt::test {

namespace {
template <typename T, typename B>
auto As(B* item)
{
    if constexpr (std::is_const_v<B>)
        return dynamic_cast<const T*>(item);
    else
        return dynamic_cast<T*>(item);
}

// Calls v(name, field) for every kind field of the item, in declaration order.
template <typename Item, typename V>
void VisitKindFields(Item& item, V&& v)
{
    Item* base = &item;

    if (auto* i = As<TItcInputMenu>(base)) {
        v("stateNumber", i->stateNumber); v("screenText", i->screenText); v("target", i->target);
        v("inputFormat", i->inputFormat); v("inputSize", i->inputSize); v("okTarget", i->okTarget);
        v("errorTarget", i->errorTarget); v("cancelTarget", i->cancelTarget); v("inputRow", i->inputRow);
        v("inputColumn", i->inputColumn); v("maxLength", i->maxLength); v("showInitial", i->showInitial);
    } else if (auto* i = As<TItcReadKeyMenu>(base)) {
        v("stateNumber", i->stateNumber); v("screenText", i->screenText);
        v("f1Target", i->f1Target); v("f2Target", i->f2Target); v("f3Target", i->f3Target);
        v("f4Target", i->f4Target); v("f5Target", i->f5Target);
        v("digit1Target", i->digit1Target); v("digit2Target", i->digit2Target); v("digit3Target", i->digit3Target);
        v("digit4Target", i->digit4Target); v("digit5Target", i->digit5Target); v("digit6Target", i->digit6Target);
        v("digit7Target", i->digit7Target); v("digit8Target", i->digit8Target); v("digit9Target", i->digit9Target);
        v("digit0Target", i->digit0Target); v("enterTarget", i->enterTarget); v("spaceTarget", i->spaceTarget);
        v("deleteTarget", i->deleteTarget); v("cancelTarget", i->cancelTarget); v("upTarget", i->upTarget);
        v("downTarget", i->downTarget); v("leftTarget", i->leftTarget); v("rightTarget", i->rightTarget);
    } else if (auto* i = As<TItcGetSequence>(base)) {
        v("target", i->target); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TitcSecOfCentury>(base)) {
        v("target", i->target); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcWriteToFlash>(base)) {
        v("tag", i->tag); v("source1", i->source1); v("source2", i->source2);
        v("okTarget", i->okTarget); v("errorTarget", i->errorTarget);
    } else if (auto* i = As<TItcStrCopyOrCat>(base)) {
        v("target", i->target); v("source", i->source); v("start", i->start); v("end", i->end);
        v("constText", i->constText); v("constStart", i->constStart); v("constEnd", i->constEnd);
        v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcStrLen>(base)) {
        v("target", i->target); v("source", i->source); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcStrPos>(base)) {
        v("target", i->target); v("source", i->source); v("constText", i->constText);
        v("occurrence", i->occurrence); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcStrCmp>(base)) {
        v("target", i->target); v("source", i->source); v("constText", i->constText);
        v("equalTarget", i->equalTarget); v("notEqualTarget", i->notEqualTarget);
    } else if (auto* i = As<TItcProcess>(base)) {
        v("target", i->target); v("source", i->source); v("operation", i->operation);
        v("constValue", i->constValue); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcNumCmp>(base)) {
        v("target", i->target); v("source", i->source); v("constValue", i->constValue);
        v("equalTarget", i->equalTarget); v("lessTarget", i->lessTarget); v("greaterTarget", i->greaterTarget);
    } else if (auto* i = As<TItcSync>(base)) {
        v("stateNumber", i->stateNumber); v("source", i->source);
    } else if (auto* i = As<TItcGetDate>(base)) {
        v("target", i->target); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcGetTime>(base)) {
        v("target", i->target); v("nextTarget", i->nextTarget);
    } else if (auto* i = As<TItcWdt>(base)) {
        v("startTime", i->startTime); v("increment", i->increment); v("flag", i->flag);
        v("nextTarget", i->nextTarget);
    }
}

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
    VisitKindFields(item, [&](const char* name, const auto& field) { out[name] = Show(field); });
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
    VisitKindFields(item, [&](const char* name, auto& field) {
        using T = std::remove_reference_t<decltype(field)>;
        const int k = n++;
        if constexpr (std::is_same_v<T, std::string>) {
            field = k % 2 ? text : std::string();
        } else if constexpr (std::is_same_v<T, double>) {
            field = constants[k % std::size(constants)];
        } else if constexpr (std::is_same_v<T, bool>) {
            field = k % 2;
        } else if (std::string_view(name) == "inputFormat" || std::string_view(name) == "inputSize") {
            field = k % 2 ? 255 : 0;
        } else {
            field = ints[k % std::size(ints)];
        }
    });
}

} // namespace qvt::test
