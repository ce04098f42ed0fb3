#include "cli/commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    int (*run)(const QStringList&);
    const char* summary;
};

const Command kCommands[] = {
    {"compile", qvt::cli::runCompile, "compile a project into its terminal image"},
    {"check", qvt::cli::runCheck, "check all four machines of a project and list every error"},
    {"label", qvt::cli::runLabel, "compile, write or print a project's label"},
    {"upload", qvt::cli::runUpload, "upload an image to a terminal over a serial port"},
    {"ports", qvt::cli::runPorts, "list the serial ports"},
    {"simulate", qvt::cli::runSimulate, "run a terminal simulator on a pseudo-terminal"},
};

void printUsage(FILE* out)
{
    std::fprintf(out, "usage: qvt COMMAND [ARGS]\n\ncommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(out, "  %-9s %s\n", c.name, c.summary);
    std::fprintf(out, "\n'qvt COMMAND --help' describes a command.\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("qvt");
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        printUsage(stdout);
        return 0;
    }
    QStringList args = app.arguments().mid(2);
    for (const Command& c : kCommands)
        if (!std::strcmp(argv[1], c.name))
            return c.run(args);
    std::fprintf(stderr, "qvt: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return 2;
}
