#pragma once

#include "compiler/compile_errors.h"
#include "compiler/image_builder.h"
#include "model/item_kinds.h"
#include "model/items_list.h"
#include "scripted_messages.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qvt::test {

using Bytes = std::vector<std::uint8_t>;

// A machine built item by item, as the design window holds it.
class Machine {
public:
    template <typename T>
    T& add(int id)
    {
        auto item = std::make_unique<T>();
        item->id = id;
        item->kind = item->KindNumber();
        T& ref = *item;
        list.PutItem(std::move(item));
        return ref;
    }

    ScriptedMessages messages;
    TitcItemsList list{messages};
};

// The bytes of `size` from offset `from` of an area.
inline Bytes Slice(const Area& area, int from, int size)
{
    return Bytes(area.begin() + from, area.begin() + from + size);
}

// The code a machine left in its area (from the code start up to the size
// stored in the area's header).
inline Bytes CodeOf(const Area& area)
{
    const int size = area[kAreaCodeSizeOffset] | area[kAreaCodeSizeOffset + 1] << 8;
    return Slice(area, kCodeStart, size);
}

inline int Word(const Area& area, int offset)
{
    return area[size_t(offset)] | area[size_t(offset) + 1] << 8;
}

inline int JumpEntry(const Area& area, int index)
{
    return Word(area, kJumpTableOffset + 2 * index);
}

inline int StateEntry(const Area& area, int stateNumber)
{
    return Word(area, kStateTableOffset + 2 * stateNumber);
}

inline int ImageWord(const Bytes& image, int offset)
{
    return image[size_t(offset)] | image[size_t(offset) + 1] << 8;
}

inline int Image24(const Bytes& image, int offset)
{
    return ImageWord(image, offset) | image[size_t(offset) + 2] << 16;
}

// Little-endian bytes of a 16-bit word, for building expected instructions.
inline void AppendWord(Bytes& bytes, int word)
{
    bytes.push_back(std::uint8_t(word & 0xFF));
    bytes.push_back(std::uint8_t((word >> 8) & 0xFF));
}

} // namespace qvt::test
