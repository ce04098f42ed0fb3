#pragma once

#include <QStringList>

// Each subcommand of `qvt` takes its own arguments (without the command name)
// and returns the process exit code.
namespace qvt::cli {

int runCompile(const QStringList& args);   // qvt compile
int runCheck(const QStringList& args);     // qvt check
int runLabel(const QStringList& args);     // qvt label
int runUpload(const QStringList& args);    // qvt upload
int runPorts(const QStringList& args);     // qvt ports
int runSimulate(const QStringList& args);  // qvt simulate

} // namespace qvt::cli
