#include "model/item_fields.h"

#include "model/item_kinds.h"
#include "model/item_record.h"

#include <type_traits>

namespace qvt {

namespace {

using enum FieldType;
using enum PanelRow;

template <typename>
struct MemberTraits;
template <typename C, typename T>
struct MemberTraits<T C::*> {
    using Class = C;
    using Type = T;
};

template <auto member>
FieldRef Access(TitcItem& item)
{
    using Class = typename MemberTraits<decltype(member)>::Class;
    return &(dynamic_cast<Class&>(item).*member);
}

template <typename T>
consteval bool Holds(FieldType type)
{
    switch (type) {
    case Whole:
    case Variable:
    case ExitTarget:
    case InputFormat:
    case InputSize: return std::is_same_v<T, std::int32_t>;
    case Text: return std::is_same_v<T, std::string>;
    case Flag: return std::is_same_v<T, bool>;
    case Thousandths: return std::is_same_v<T, double>;
    }
    return false;
}

// An entry of a table. A member whose type does not fit `type` stops the
// build.
template <auto member>
consteval ItemField Field(std::string_view name, std::string_view key, FieldType type, PanelRow row = None,
                          std::string_view caption = {})
{
    if (!Holds<typename MemberTraits<decltype(member)>::Type>(type))
        throw "the member's type does not fit how the record stores it";
    if (type == ExitTarget)
        throw "exit targets are entered with Exit";
    return {key, name, type, row, caption, {}, &Access<member>};
}

template <auto member>
consteval ItemField Exit(std::string_view name, std::string_view key, std::string_view exit)
{
    static_assert(std::is_same_v<typename MemberTraits<decltype(member)>::Type, std::int32_t>);
    return {key, name, ExitTarget, None, {}, exit, &Access<member>};
}

using Input = TItcInputMenu;
constexpr ItemField kInputFields[] = {
    Field<&Input::stateNumber>("stateNumber", "drmmtr", Whole, StateNumber, "State #"),
    Field<&Input::screenText>("screenText", "ekran", Text, Screen),
    Field<&Input::target>("target", "hedef", Variable, Target, "Target"),
    Field<&Input::inputFormat>("inputFormat", "tip", InputFormat, InputType, "Input Type"),
    Field<&Input::inputSize>("inputSize", "tip", InputSize, InputLength, "Input Length"),
    Exit<&Input::okTarget>("okTarget", "dogru", "OK"),
    Exit<&Input::errorTarget>("errorTarget", "yanlis", "Error"),
    Exit<&Input::cancelTarget>("cancelTarget", "iptal", "Cancel"),
    Field<&Input::inputRow>("inputRow", "sat", Whole, InputPos, "Input Pos."),
    Field<&Input::inputColumn>("inputColumn", "sut", Whole, InputPos, "Input Pos."),
    Field<&Input::maxLength>("maxLength", "maxuz", Whole, InputPos, "Input Pos."),
    Field<&Input::showInitial>("showInitial", "ilkdeger", Flag, InputInit, "Input Init."),
};

using ReadKey = TItcReadKeyMenu;
constexpr ItemField kReadKeyFields[] = {
    Field<&ReadKey::stateNumber>("stateNumber", "drmmtr", Whole, StateNumber, "State #"),
    Field<&ReadKey::screenText>("screenText", "ekran", Text, Screen),
    Exit<&ReadKey::f1Target>("f1Target", "f1", "F1"),
    Exit<&ReadKey::f2Target>("f2Target", "f2", "F2"),
    Exit<&ReadKey::f3Target>("f3Target", "f3", "F3"),
    Exit<&ReadKey::f4Target>("f4Target", "f4", "F4"),
    Exit<&ReadKey::f5Target>("f5Target", "f5", "F5"),
    Exit<&ReadKey::digit1Target>("digit1Target", "n1", "1"),
    Exit<&ReadKey::digit2Target>("digit2Target", "n2", "2"),
    Exit<&ReadKey::digit3Target>("digit3Target", "n3", "3"),
    Exit<&ReadKey::digit4Target>("digit4Target", "n4", "4"),
    Exit<&ReadKey::digit5Target>("digit5Target", "n5", "5"),
    Exit<&ReadKey::digit6Target>("digit6Target", "n6", "6"),
    Exit<&ReadKey::digit7Target>("digit7Target", "n7", "7"),
    Exit<&ReadKey::digit8Target>("digit8Target", "n8", "8"),
    Exit<&ReadKey::digit9Target>("digit9Target", "n9", "9"),
    Exit<&ReadKey::digit0Target>("digit0Target", "n0", "0"),
    Exit<&ReadKey::enterTarget>("enterTarget", "giris", "E"),
    Exit<&ReadKey::spaceTarget>("spaceTarget", "bosluk", "S"),
    Exit<&ReadKey::deleteTarget>("deleteTarget", "sil", "D"),
    Exit<&ReadKey::cancelTarget>("cancelTarget", "iptal", "C"),
    Exit<&ReadKey::upTarget>("upTarget", "yukari", "^"),
    Exit<&ReadKey::downTarget>("downTarget", "asagi", "v"),
    Exit<&ReadKey::leftTarget>("leftTarget", "sol", "<"),
    Exit<&ReadKey::rightTarget>("rightTarget", "sag", ">"),
};

// GetSeq, Now, GetDate and GetTime: a target variable and one exit.
template <typename Kind>
constexpr ItemField kTargetAndNextFields[] = {
    Field<&Kind::target>("target", "hedef", Variable, Target, "Target"),
    Exit<&Kind::nextTarget>("nextTarget", "sonraki", "Next"),
};

using Flash = TItcWriteToFlash;
constexpr ItemField kWriteToFlashFields[] = {
    Field<&Flash::tag>("tag", "sabit", Whole, ConstInteger, "Const.Integer"),
    Field<&Flash::source1>("source1", "kaynak1", Variable, Source, "Source"),
    Field<&Flash::source2>("source2", "kaynak2", Variable, Source2, "Source 2"),
    Exit<&Flash::okTarget>("okTarget", "ok", "OK"),
    Exit<&Flash::errorTarget>("errorTarget", "hata", "Error"),
};

using CopyOrCat = TItcStrCopyOrCat;
constexpr ItemField kStrCopyOrCatFields[] = {
    Field<&CopyOrCat::target>("target", "hedef", Variable, Target, "Target"),
    Field<&CopyOrCat::source>("source", "kaynak", Variable, Source, "Source"),
    Field<&CopyOrCat::start>("start", "bas", Variable, Start, "Start"),
    Field<&CopyOrCat::end>("end", "son", Variable, End, "End"),
    Field<&CopyOrCat::constText>("constText", "sabit", Text, ConstString, "Const.String"),
    Field<&CopyOrCat::constStart>("constStart", "sabitb", Whole, ConsStart, "Cons.Start"),
    Field<&CopyOrCat::constEnd>("constEnd", "sabits", Whole, ConsEnd, "Cons.End"),
    Exit<&CopyOrCat::nextTarget>("nextTarget", "sonraki", "Next"),
};

constexpr ItemField kStrLenFields[] = {
    Field<&TItcStrLen::target>("target", "hedef", Variable, Target, "Target"),
    Field<&TItcStrLen::source>("source", "kaynak", Variable, Source, "Source"),
    Exit<&TItcStrLen::nextTarget>("nextTarget", "sonraki", "Next"),
};

constexpr ItemField kStrPosFields[] = {
    Field<&TItcStrPos::target>("target", "hedef", Variable, Target, "Target"),
    Field<&TItcStrPos::source>("source", "kaynak", Variable, Source, "Source"),
    Field<&TItcStrPos::constText>("constText", "sabit", Text, ConstString, "Const.String"),
    Field<&TItcStrPos::occurrence>("occurrence", "kacinci", Whole, Position, "Position"),
    Exit<&TItcStrPos::nextTarget>("nextTarget", "sonraki", "Next"),
};

constexpr ItemField kStrCmpFields[] = {
    Field<&TItcStrCmp::target>("target", "hedef", Variable, Target, "Target"),
    Field<&TItcStrCmp::source>("source", "kaynak", Variable, Source, "Source"),
    Field<&TItcStrCmp::constText>("constText", "sabit", Text, ConstString, "Const.String"),
    Exit<&TItcStrCmp::equalTarget>("equalTarget", "esit", "Equal"),
    Exit<&TItcStrCmp::notEqualTarget>("notEqualTarget", "esitdegil", "Not Equal"),
};

constexpr ItemField kProcessFields[] = {
    Field<&TItcProcess::target>("target", "hedef", Variable, Target, "Target"),
    Field<&TItcProcess::source>("source", "kaynak", Variable, Source, "Source"),
    Field<&TItcProcess::operation>("operation", "islem", Whole, Operation, "Operation"),
    Field<&TItcProcess::constValue>("constValue", "sabit", Thousandths, ConstInteger, "Const.Integer"),
    Exit<&TItcProcess::nextTarget>("nextTarget", "sonraki", "Next"),
};

// The record writes Less, Equal, Greater: not the order of the members.
constexpr ItemField kNumCmpFields[] = {
    Field<&TItcNumCmp::target>("target", "hedef", Variable, Target, "Target"),
    Field<&TItcNumCmp::source>("source", "kaynak", Variable, Source, "Source"),
    Field<&TItcNumCmp::constValue>("constValue", "sabit", Thousandths, ConstInteger, "Const.Integer"),
    Exit<&TItcNumCmp::lessTarget>("lessTarget", "kucuk", "Less"),
    Exit<&TItcNumCmp::equalTarget>("equalTarget", "esit", "Equal"),
    Exit<&TItcNumCmp::greaterTarget>("greaterTarget", "buyuk", "Greater"),
};

constexpr ItemField kSyncFields[] = {
    Field<&TItcSync::stateNumber>("stateNumber", "drmmtr", Whole, StateNumber, "State #"),
    Field<&TItcSync::source>("source", "kaynak", Variable, Source, "Source"),
};

// Wdt's three variables sit in the Target, Source and Source 2 rows under
// captions of their own.
constexpr ItemField kWdtFields[] = {
    Field<&TItcWdt::startTime>("startTime", "starttime", Variable, Source, "Initial Time"),
    Field<&TItcWdt::increment>("increment", "tinc", Variable, Source2, "Increment"),
    Field<&TItcWdt::flag>("flag", "flag", Variable, Target, "Flag"),
    Exit<&TItcWdt::nextTarget>("nextTarget", "sonraki", "Next"),
};

// inputFormat * 256 + inputSize, wrapping like the 32-bit arithmetic of the
// stored files' writers instead of overflowing.
std::int32_t PackInputType(std::int32_t format, std::int32_t size)
{
    const std::uint32_t packed = static_cast<std::uint32_t>(format) * 256u + static_cast<std::uint32_t>(size);
    return static_cast<std::int32_t>(packed);
}

std::int32_t& Int(TitcItem& item, const ItemField& field) { return *std::get<std::int32_t*>(field.access(item)); }

} // namespace

std::span<const ItemField> KindFields(std::int32_t kind)
{
    switch (kind) {
    case KindInput: return kInputFields;
    case KindReadKey: return kReadKeyFields;
    case KindGetSequence: return kTargetAndNextFields<TItcGetSequence>;
    case KindSecOfCentury: return kTargetAndNextFields<TitcSecOfCentury>;
    case KindWriteToFlash: return kWriteToFlashFields;
    case KindStrCopy:
    case KindStrCat: return kStrCopyOrCatFields;
    case KindStrLen: return kStrLenFields;
    case KindStrPos: return kStrPosFields;
    case KindStrCmp: return kStrCmpFields;
    case KindProcess: return kProcessFields;
    case KindNumCmp: return kNumCmpFields;
    case KindSync: return kSyncFields;
    case KindGetDate: return kTargetAndNextFields<TItcGetDate>;
    case KindGetTime: return kTargetAndNextFields<TItcGetTime>;
    case KindWdt: return kWdtFields;
    }
    return {};
}

std::span<const ItemField> ItemFields(const TitcItem& item)
{
    return KindFields(item.KindNumber());
}

FieldRef FieldOf(TitcItem& item, const ItemField& field)
{
    return field.access(item);
}

ConstFieldRef FieldOf(const TitcItem& item, const ItemField& field)
{
    // The access only hands out the address; nothing is written through it here.
    return std::visit([](auto* p) -> ConstFieldRef { return p; }, field.access(const_cast<TitcItem&>(item)));
}

const ItemField* ExitField(std::span<const ItemField> fields, std::string_view label)
{
    for (const ItemField& f : fields)
        if (f.type == ExitTarget && f.exit == label)
            return &f;
    return nullptr;
}

void WriteKindSection(const TitcItem& item, RecordWriter& out)
{
    const auto fields = ItemFields(item);
    // Only read through here.
    TitcItem& source = const_cast<TitcItem&>(item);
    for (const ItemField& f : fields) {
        const FieldRef value = f.access(source);
        switch (f.type) {
        case Whole:
        case Variable:
        case ExitTarget: out.Int(f.key, *std::get<std::int32_t*>(value)); break;
        case Text: out.Text(f.key, *std::get<std::string*>(value)); break;
        case Flag: out.Bool(f.key, *std::get<bool*>(value)); break;
        case Thousandths: out.Thousandths(f.key, *std::get<double*>(value)); break;
        case InputFormat: {
            std::int32_t size = 0;
            for (const ItemField& g : fields)
                if (g.type == InputSize)
                    size = Int(source, g);
            out.Int(f.key, PackInputType(*std::get<std::int32_t*>(value), size));
            break;
        }
        case InputSize: break;  // written with the format
        }
    }
}

void ReadKindSection(TitcItem& item, const RecordPairs& in)
{
    for (const ItemField& f : ItemFields(item)) {
        const FieldRef value = f.access(item);
        switch (f.type) {
        case Whole:
        case Variable:
        case ExitTarget: in.ReadInt(f.key, *std::get<std::int32_t*>(value)); break;
        case Text: in.ReadText(f.key, *std::get<std::string*>(value)); break;
        case Flag: in.ReadBool(f.key, *std::get<bool*>(value)); break;
        case Thousandths: in.ReadThousandths(f.key, *std::get<double*>(value)); break;
        case InputFormat:
        case InputSize: {
            // Division truncates toward zero and the remainder keeps the sign
            // of the value, as the stored files expect.
            std::int32_t packed = 0;
            in.ReadInt(f.key, packed);
            *std::get<std::int32_t*>(value) = f.type == InputFormat ? packed / 256 : packed % 256;
            break;
        }
        }
    }
}

} // namespace qvt
