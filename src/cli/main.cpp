#include "cli/commands.h"

#include <array>

int main(int argc, char** argv)
{
    using namespace qvt::cli;
    static const std::array<const Command*, 6> commands{
        &kCompileCommand, &kCheckCommand, &kLabelCommand, &kUploadCommand, &kPortsCommand, &kSimulateCommand,
    };
    return runTool(argc, argv, commands);
}
