#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

// Texts read from project, design and label files are kept as raw 8-bit bytes
// in std::string; they are turned into display text only at the widget edge.

// Machine numbers as the design window and the compiler know them.
enum class MachineId { Online = 1, Offline = 2, OnlineTimer = 3, OfflineTimer = 4 };

// Position of a machine's text in storage (and project file, and compile) order:
// Online, Online/Timer, Offline, Offline/Timer.
int storagePosition(MachineId machine);
MachineId machineAtStoragePosition(int position);
// "Online", "Offline", "Online/Timer", "Offline/Timer".
const char* machineName(MachineId machine);

constexpr int kVariableCount = 116;
constexpr int kFirstString = 1, kLastString = 30;
constexpr int kFirstInteger = 31, kLastInteger = 80;
constexpr int kFirstFloat = 81, kLastFloat = 100;
constexpr int kFirstSpecial = 101, kLastSpecial = 115;

struct VariableEntry {
    std::string defaultName;
    std::string name;
    std::string typeWord;
    std::string initialValue;
};

using VariableTable = std::array<VariableEntry, kVariableCount>;
using MachineText = std::vector<std::string>;

// Fills all 116 entries with the fixed slot names, type words and initial values.
void ResetVariables(VariableTable& table);
// Index of the first entry whose name equals `name` exactly; 0 when none does
// (indistinguishable from a match on "Constant").
int FindVariable(const VariableTable& table, std::string_view name);

// The fixed folder for label designs: "QVT" in the user's documents folder,
// as a local 8-bit path.
std::string DefaultFolder();

// The one open project and the values the main window keeps with it. Windows
// are handed this object; they read and write its fields directly.
class ProjectState {
public:
    ProjectState();

    VariableTable variables;
    // Absent while no project is open; four lists in storage order otherwise.
    std::optional<std::array<MachineText, 4>> machineTexts;
    std::string labelText;
    std::string labelData;
    int gridColumns = 8;
    int gridRows = 25;
    bool modified = false;

    // Kept by the main window; they survive New and Close.
    std::string projectFileName;
    std::string versionText = "V1";
    int onlineTimerInterval = 1000;
    int offlineTimerInterval = 1000;

    // Folder the label window starts in (DefaultFolder()); created on first use.
    std::string defaultFolder;

    void ResetVariables() { qvt::ResetVariables(variables); }
    int FindVariable(std::string_view name) const { return qvt::FindVariable(variables, name); }
    bool isOpen() const { return machineTexts.has_value(); }
    bool HasUnsavedChanges() const { return isOpen() && modified; }

    // Precondition: a project is open.
    MachineText& machineText(MachineId machine);
    const MachineText& machineText(MachineId machine) const;

    // New: four empty machines, no label, reset variables, not modified, no file name.
    void newProject();
    // Close: machines gone, variables reset, no file name, not modified. Label,
    // grid size, version and timers stay.
    void closeProject();
};

} // namespace qvt
