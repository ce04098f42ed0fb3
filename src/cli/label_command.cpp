#include "cli/commands.h"

#include <cstdio>

namespace qvt::cli {

int runLabel(const QStringList&)
{
    std::fprintf(stderr, "qvt: this command is not available yet\n");
    return 2;
}

} // namespace qvt::cli
