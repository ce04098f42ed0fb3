#include "upload/port_list.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace qvt {

void sortPortsAsText(std::vector<SerialPortEntry>& ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        const QString qa = QString::fromLocal8Bit(a.name), qb = QString::fromLocal8Bit(b.name);
        const int folded = qa.compare(qb, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
}

std::vector<SerialPortEntry> listSerialPorts()
{
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.portName().toLocal8Bit().toStdString(),
                         info.systemLocation().toLocal8Bit().toStdString(),
                         info.description().toLocal8Bit().toStdString()});
    sortPortsAsText(ports);
    return ports;
}

} // namespace qvt
