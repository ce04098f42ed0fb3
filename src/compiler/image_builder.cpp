#include "compiler/image_builder.h"

#include "compiler/compile_failure.h"
#include "compiler/emit_code.h"
#include "model/items_list.h"

#include <string>

namespace qvt {

TIT::TIT(std::string_view fileName, std::string_view version)
    : projectFileName(fileName), version(version)
{
}

namespace {

bool IsTimerMachine(MachineId machine)
{
    return machine == MachineId::OnlineTimer || machine == MachineId::OfflineTimer;
}

MachineId MainMachineOf(MachineId timer)
{
    return timer == MachineId::OnlineTimer ? MachineId::Online : MachineId::Offline;
}

} // namespace

void TIT::CompileMachine(MachineId machine, const TitcItemsList& items, ErrorList& errors, bool standalone)
{
    CodeWriter& w = writer_;
    errors.clear();
    w.errors = &errors;
    w.screenCount = 0;
    w.usedStateNumbers.reset();
    w.itemId = 0;

    const bool online = machine == MachineId::Online || machine == MachineId::OnlineTimer;
    Area& code = online ? onlineCode : offlineCode;
    Area& screens = online ? onlineScreens : offlineScreens;
    const bool timer = IsTimerMachine(machine);
    // A timer machine's states follow its main machine's in the same jump
    // table and its code follows the main machine's code; that holds only
    // when the main machine was the one compiled just before.
    if (!timer || standalone || lastMachine_ != MainMachineOf(machine)) {
        w.codePosition = kCodeStart;
        w.base = 0;
    }
    w.code = &code;
    w.screens = &screens;
    w.timerMachine = timer;
    w.tablePosition = kJumpTableOffset + 2 * w.base;
    if (machine == MachineId::OnlineTimer)
        onlineTimerBase = std::uint16_t(w.base);
    else if (machine == MachineId::OfflineTimer)
        offlineTimerBase = std::uint16_t(w.base);
    lastMachine_ = machine;

    int highestId = 0;
    try {
        for (int id = 1; id <= kMaxItemId; ++id) {
            w.itemId = 0;
            w.TableEntry();
            if (const TitcItem* item = items.ItemById(id)) {
                w.BeginItem(id);
                EmitCode(*item, w);
                highestId = id;
            }
        }
    } catch (CompileFailure& failure) {
        failure.machine = machine;
        failure.itemId = w.itemId;
        lastMachine_.reset();
        throw;
    }
    w.itemId = 0;
    w.base = highestId;

    const int codeSize = w.codePosition - kCodeStart;
    code[kAreaCodeSizeOffset] = std::uint8_t(codeSize & 0xFF);
    code[kAreaCodeSizeOffset + 1] = std::uint8_t((codeSize >> 8) & 0xFF);
    code[kAreaFlagOffset] = codeSize != 0 ? kHoldsCode : 0;

    switch (machine) {
    case MachineId::Online:
        onlineScreenCount = w.screenCount;
        break;
    case MachineId::Offline:
        offlineScreenCount = w.screenCount;
        break;
    case MachineId::OnlineTimer:
        if (highestId == 0)
            onlineTimerBase = 0;
        break;
    case MachineId::OfflineTimer:
        if (highestId == 0)
            offlineTimerBase = 0;
        break;
    }
    // The terminal enters a timer machine through the jump table entry at its
    // base; a main machine that uses id 1000 leaves no entry for it.
    const int timerBase = machine == MachineId::OnlineTimer    ? onlineTimerBase
                          : machine == MachineId::OfflineTimer ? offlineTimerBase
                                                               : 0;
    if (timerBase >= kJumpTableEntries) {
        lastMachine_.reset();
        CompileFailure failure("the timer machine would start at table index " + std::to_string(timerBase)
                               + ", past the " + std::to_string(kJumpTableEntries)
                               + "-entry jump table (its main machine uses id " + std::to_string(timerBase) + ")");
        failure.machine = machine;
        throw failure;
    }
}

} // namespace qvt
