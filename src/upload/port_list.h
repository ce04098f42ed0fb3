#pragma once

#include <string>
#include <vector>

namespace qvt {

struct SerialPortEntry {
    std::string name;         // as the uploader shows it (ttyUSB0)
    std::string location;     // device file (/dev/ttyUSB0)
    std::string description;  // what the driver says, may be empty
};

// Sorts by name as text: ttyS1 before ttyS10 before ttyS2. Letter case does
// not separate names; it only breaks ties.
void sortPortsAsText(std::vector<SerialPortEntry>& ports);

// The serial ports of the system, sorted as text.
std::vector<SerialPortEntry> listSerialPorts();

} // namespace qvt
