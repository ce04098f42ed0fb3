// Reads arbitrary bytes as a machine text (one record per line). A machine
// that loads must save as a text that loads again to the same text.

#include "model/items_list.h"
#include "core/headless_messages.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qvt::MachineText lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }

    qvt::SilentMessages messages;
    try {
        qvt::TitcItemsList list(lines, messages);
        qvt::MachineText saved;
        if (!list.SaveToMachineText(saved))
            return 0;
        qvt::TitcItemsList again(saved, messages);
        qvt::MachineText savedAgain;
        if (!again.SaveToMachineText(savedAgain) || savedAgain != saved)
            std::abort();
        // Grid edits on whatever was loaded.
        list.InsertRowOrColumn(0, 0, true, true);
        list.DeleteRowOrColumn(0, 0, true);
        list.MakeEntryPoint(list.IdAt(0, 0));
        list.DeleteItem(1);
        list.AddItem(qvt::KindReadKey, 0, 0);
    } catch (const qvt::MachineTextError&) {
    }
    return 0;
}
