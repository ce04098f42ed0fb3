#pragma once

// The full machine the design benchmarks work on: 1000 items on 8 columns x
// 125 rows, the kinds taken in turn, every exit of every item connected to
// another item (near and far ones mixed), with variables and screens filled
// in so that every item has its title and body texts.

#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "core/project_state.h"
#include "editor/canvas_measurer.h"
#include "model/item_kinds.h"
#include "model/items_list.h"

#include <memory>
#include <string>

namespace qvt::bench {

constexpr int kColumns = 8;
constexpr int kRows = 125;

struct Machine {
    SilentMessages messages;
    PainterFontMetrics metrics; // needs a QGuiApplication
    CanvasMeasurer measurer{metrics};
    VariableTable variables;
    std::unique_ptr<TitcItemsList> items;

    Machine()
    {
        ResetVariables(variables);
        items = std::make_unique<TitcItemsList>(messages, &measurer);
        for (int id = 1; id <= kColumns * kRows; ++id) {
            const std::int32_t kind = kItemKinds[static_cast<std::size_t>(id - 1) % kItemKinds.size()];
            std::unique_ptr<TitcItem> item = CreateItem(kind, &measurer);
            item->id = id;
            item->row = (id - 1) / kColumns;
            item->column = (id - 1) % kColumns;
            Fill(*item);
            items->PutItem(std::move(item));
        }
        // Every exit to some other item, near and far ones mixed.
        int n = 0;
        items->ForEachItem([&](TitcItem& item) {
            auto connect = [&](const TBag& exit) {
                const int step = 1 + (n++ * 7919) % 997;
                const std::int32_t target = (item.id - 1 + step) % (kColumns * kRows) + 1;
                item.SetConnection(exit.label, target, messages);
            };
            for (int i = 0; i < item.bottomExitCount; ++i)
                connect(item.bottomExits[i]);
            for (int j = 0; j < item.rightExitCount; ++j)
                connect(item.rightExits[j]);
        });
    }

    // A project open with this machine as its Online machine, on a grid of
    // kColumns x kRows cells.
    void PutInto(ProjectState& project)
    {
        project.newProject();
        project.gridColumns = kColumns;
        project.gridRows = kRows;
        project.variables = variables;
        items->SaveToMachineText(project.machineText(MachineId::Online));
    }

    static void Fill(TitcItem& item)
    {
        const std::string screen = "ITEM CODE\r\n\xB2" "B########\r\nQUANTITY\r\n\xB2" "d####";
        switch (item.KindNumber()) {
        case KindInput: {
            auto& it = static_cast<TItcInputMenu&>(item);
            it.stateNumber = item.id % 256;
            it.screenText = screen;
            break;
        }
        case KindReadKey: {
            auto& it = static_cast<TItcReadKeyMenu&>(item);
            it.stateNumber = item.id % 256;
            it.screenText = screen;
            break;
        }
        case KindProcess: {
            auto& it = static_cast<TItcProcess&>(item);
            it.target = 31;
            it.operation = OpAdd;
            it.constValue = 1234.5;
            break;
        }
        case KindStrCopy:
        case KindStrCat: {
            auto& it = static_cast<TItcStrCopyOrCat&>(item);
            it.target = 1;
            it.source = 2;
            it.constStart = 1;
            it.constEnd = 5;
            break;
        }
        case KindWriteToFlash: {
            auto& it = static_cast<TItcWriteToFlash&>(item);
            it.tag = 3;
            it.source1 = 1;
            it.source2 = 31;
            break;
        }
        default: break;
        }
    }
};

} // namespace qvt::bench
