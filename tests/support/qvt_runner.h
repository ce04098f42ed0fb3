#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace qvt::test {

// One run of the built `qvt` tool.
struct QvtRun {
    int exitCode = -1;  // -1 also when it crashed or did not finish
    std::string out;
    std::string err;
};

// Path of the built `qvt`.
QString qvtProgram();

// Runs `qvt ARGS` to its end, in this process's environment (so a FakeLp on
// the PATH is the one it finds).
QvtRun runQvt(const QStringList& args);

} // namespace qvt::test
