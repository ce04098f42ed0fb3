#include "core/project_state.h"

#include <QFile>
#include <QStandardPaths>

#include <cstdio>

namespace qvt {

int storagePosition(MachineId machine)
{
    switch (machine) {
    case MachineId::Online: return 0;
    case MachineId::OnlineTimer: return 1;
    case MachineId::Offline: return 2;
    case MachineId::OfflineTimer: return 3;
    }
    return 0;
}

MachineId machineAtStoragePosition(int position)
{
    static constexpr MachineId order[4] = {MachineId::Online, MachineId::OnlineTimer,
                                           MachineId::Offline, MachineId::OfflineTimer};
    return order[position & 3];
}

const char* machineName(MachineId machine)
{
    switch (machine) {
    case MachineId::Online: return "Online";
    case MachineId::Offline: return "Offline";
    case MachineId::OnlineTimer: return "Online/Timer";
    case MachineId::OfflineTimer: return "Offline/Timer";
    }
    return "";
}

namespace {

std::string numbered(const char* prefix, int n)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%02d", prefix, n);
    return buffer;
}

std::string specialName(int index)
{
    if (index == 101) return "Serial Data";
    if (index == 102) return "PS2 Data";
    if (index <= 107) return "Counter " + std::to_string(index - 102);
    if (index <= 112) return "Digital In " + std::to_string(index - 107);
    if (index <= 114) return "Digital Out " + std::to_string(index - 112);
    return "Label";
}

} // namespace

void ResetVariables(VariableTable& table)
{
    for (int i = 0; i < kVariableCount; ++i) {
        VariableEntry& e = table[i];
        if (i == 0) {
            e = {"Constant", "Constant", "special", ""};
        } else if (i <= kLastString) {
            std::string n = numbered("str", i);
            e = {n, n, "string", ""};
        } else if (i <= kLastInteger) {
            std::string n = numbered("int", i - 30);
            e = {n, n, "integer", "0"};
        } else if (i <= kLastFloat) {
            std::string n = numbered("flt", i - 80);
            e = {n, n, "float", "0"};
        } else {
            std::string n = specialName(i);
            e = {n, n, "special", ""};
        }
    }
}

int FindVariable(const VariableTable& table, std::string_view name)
{
    for (int i = 0; i < kVariableCount; ++i)
        if (table[i].name == name)
            return i;
    return 0;
}

std::string DefaultFolder()
{
    // The label window starts here and creates the folder when it is missing.
    // Looked up once: finding the documents folder reads the user's settings.
    static const std::string folder = [] {
        const QByteArray path =
            QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/QVT");
        return std::string(path.constData(), size_t(path.size()));
    }();
    return folder;
}

ProjectState::ProjectState()
    : defaultFolder(DefaultFolder())
{
    ResetVariables();
}

MachineText& ProjectState::machineText(MachineId machine)
{
    return (*machineTexts)[storagePosition(machine)];
}

const MachineText& ProjectState::machineText(MachineId machine) const
{
    return (*machineTexts)[storagePosition(machine)];
}

void ProjectState::newProject()
{
    machineTexts.emplace();
    projectFileName.clear();
    labelText.clear();
    labelData.clear();
    ResetVariables();
    modified = false;
}

void ProjectState::closeProject()
{
    machineTexts.reset();
    ResetVariables();
    projectFileName.clear();
    modified = false;
}

} // namespace qvt
