#include "cli/commands.h"

#include <cstdio>

namespace qvt::cli {

int runUpload(const QStringList&)
{
    std::fprintf(stderr, "qvt: this command is not available yet\n");
    return 2;
}

int runPorts(const QStringList&)
{
    std::fprintf(stderr, "qvt: this command is not available yet\n");
    return 2;
}

int runSimulate(const QStringList&)
{
    std::fprintf(stderr, "qvt: this command is not available yet\n");
    return 2;
}

} // namespace qvt::cli
