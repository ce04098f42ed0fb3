#include "stockcount_project.h"

#include "label/label_compiler.h"
#include "label/label_design.h"
#include "label/label_text.h"
#include "model/item_kinds.h"
#include "model/items_list.h"

namespace qvt::examples {

namespace {

constexpr int kItemCode = 1;  // str01
constexpr int kClock = 2;     // str02
constexpr int kQuantity = 31; // int01
constexpr int kRecords = 32;  // int02
constexpr int kIdleSince = 33;  // int03
constexpr int kIdleStep = 34;   // int04
constexpr int kIdleFlag = 35;   // int05

constexpr int kInputString = 4 << 5;
constexpr int kInputUnsigned = 0;

// Places a new item of `kind` in a cell and returns it as its class.
template <typename Item>
Item& place(TitcItemsList& items, int column, int row)
{
    Item probe;
    const int id = items.FirstFreeId();
    items.AddItem(probe.KindNumber(), column * kCellWidth + 1, row * kCellHeight + 1);
    return static_cast<Item&>(*items.ItemById(id));
}

TItcInputMenu& input(TitcItemsList& items, int column, int row, int state, const char* screen, int target,
                     int format, int size)
{
    auto& item = place<TItcInputMenu>(items, column, row);
    item.stateNumber = state;
    item.screenText = screen;
    item.target = target;
    item.inputFormat = format;
    item.inputSize = size;
    item.inputRow = 4;
    item.inputColumn = 1;
    item.maxLength = size;
    return item;
}

// The heart of both main machines: ask for the item code, then the quantity,
// then write both to flash under `tag`. A bad entry asks again; cancelling the
// quantity goes back to the item code.
struct CountChain {
    TItcInputMenu& code;
    TItcInputMenu& quantity;
    TItcWriteToFlash& write;
};

CountChain countChain(TitcItemsList& items, const char* title, int tag)
{
    auto& code = input(items, 0, 0, 1, title, kItemCode, kInputString, 13);
    auto& quantity = input(items, 0, 1, 2, "Item code:\r\n\r\nQuantity:", kQuantity, kInputUnsigned, 5);
    auto& write = place<TItcWriteToFlash>(items, 0, 2);
    write.tag = tag;
    write.source1 = kItemCode;
    write.source2 = kQuantity;

    code.okTarget = quantity.id;
    code.errorTarget = code.id;
    quantity.okTarget = write.id;
    quantity.errorTarget = quantity.id;
    quantity.cancelTarget = code.id;
    return {code, quantity, write};
}

void buildOnline(TitcItemsList& items)
{
    auto [code, quantity, write] = countChain(items, "    STOCK COUNT\r\n\r\nItem code:", 1);
    auto& count = place<TItcProcess>(items, 0, 3);
    count.target = kRecords;
    count.source = 0;
    count.operation = OpAdd;
    count.constValue = 1;
    auto& failed = place<TItcReadKeyMenu>(items, 1, 2);
    failed.stateNumber = 3;
    failed.screenText = "    WRITE ERROR\r\n\r\nPress E to go on";
    auto& leave = place<TItcReadKeyMenu>(items, 1, 0);
    leave.stateNumber = 4;
    leave.screenText = "Send the count?\r\n\r\nE: yes   C: no";
    auto& send = place<TItcSync>(items, 2, 0);
    send.stateNumber = 5;
    send.source = kRecords;

    code.cancelTarget = leave.id;
    write.okTarget = count.id;
    write.errorTarget = failed.id;
    count.nextTarget = code.id;
    failed.enterTarget = code.id;
    leave.enterTarget = send.id;
    leave.cancelTarget = code.id;
}

void buildOffline(TitcItemsList& items)
{
    auto [code, quantity, write] = countChain(items, "  OFFLINE COUNT\r\n\r\nItem code:", 2);
    code.cancelTarget = code.id;
    write.okTarget = code.id;
    write.errorTarget = code.id;
}

// Every tick of the online timer keeps the clock string up to date.
void buildOnlineTimer(TitcItemsList& items)
{
    auto& clock = place<TItcGetTime>(items, 0, 0);
    clock.target = kClock;
    auto& done = place<TItcTmrReturn>(items, 0, 1);
    clock.nextTarget = done.id;
}

// The offline timer runs the idle watchdog.
void buildOfflineTimer(TitcItemsList& items)
{
    auto& feed = place<TItcWdt>(items, 0, 0);
    feed.startTime = kIdleSince;
    feed.increment = kIdleStep;
    feed.flag = kIdleFlag;
    auto& done = place<TItcTmrReturn>(items, 0, 1);
    feed.nextTarget = done.id;
}

LabelDesign label(const VariableTable& variables)
{
    LabelDesign d;
    d.LabelType = "Et40x20";
    d.Direction = "Horizontal";
    d.BarcodeType = "CODE39";
    d.SurfaceWidth = 76;
    d.SurfaceHeight = 151;
    addElement(d, ElementKind::Text, 8, 34, 58, 18, "STOCK", 4);
    addElement(d, ElementKind::Field, 8, 56, 38, 44, variables[kQuantity].name, 3);
    addElement(d, ElementKind::Line, 4, 64, 64, 62);
    addElement(d, ElementKind::Barcode, 8, 140, 68, 80, variables[kItemCode].name, 3);
    return d;
}

} // namespace

bool BuildStockCountProject(ProjectState& project, Messages& messages)
{
    project.newProject();
    project.versionText = "V1";
    project.gridColumns = 8;
    project.gridRows = 25;
    project.onlineTimerInterval = 1000;
    project.offlineTimerInterval = 1000;

    project.variables[kItemCode].name = "ItemCode";
    project.variables[kClock].name = "Clock";
    project.variables[kQuantity].name = "Quantity";
    project.variables[kRecords].name = "Records";
    project.variables[kIdleSince].name = "IdleSince";
    project.variables[kIdleStep].name = "IdleStep";
    project.variables[kIdleStep].initialValue = "1";
    project.variables[kIdleFlag].name = "IdleFlag";

    void (*const builders[4])(TitcItemsList&) = {buildOnline, buildOnlineTimer, buildOffline, buildOfflineTimer};
    for (int position = 0; position < 4; ++position) {
        TitcItemsList items(messages);
        builders[position](items);
        if (!items.SaveToMachineText((*project.machineTexts)[position]))
            return false;
    }

    project.labelText = BuildLabelText(label(project.variables), project.variables);
    if (!CompileProjectLabel(project))
        return false;
    project.modified = false;
    return true;
}

} // namespace qvt::examples
