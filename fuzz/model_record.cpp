// Reads arbitrary bytes as an item record of every kind. Besides not
// crashing, whatever was read must write out as a record that reads back to
// the same record.

#include "model/item_kinds.h"
#include "model/item_record.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the kind; the rest is the record.
    const std::int32_t kind = qvt::kItemKinds[data[0] % qvt::kItemKinds.size()];
    const std::string_view record(reinterpret_cast<const char*>(data + 1), size - 1);

    (void)qvt::KindOfRecord(record);
    auto item = qvt::CreateItem(kind);
    if (!item->ReadRecord(record))
        return 0;
    const std::string written = item->WriteRecord();
    auto again = qvt::CreateItem(kind);
    if (!again->ReadRecord(written) || again->WriteRecord() != written)
        std::abort();
    return 0;
}
