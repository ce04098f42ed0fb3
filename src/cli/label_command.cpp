#include "cli/commands.h"
#include "core/headless_messages.h"
#include "label/label_compiler.h"
#include "label/label_printer.h"
#include "label/label_text.h"
#include "core/atomic_file.h"
#include "project/project_file.h"

#include <cstdio>
#include <optional>

namespace qvt::cli {

namespace {

const char kUsage[] =
    "usage: qvt label PROJECT.zmk [--data OUT] [--stream OUT] [--print TARGET]\n"
    "                 [--lpt1 DEVICE] [--com1 DEVICE]\n"
    "\n"
    "Compiles the project's label and reports its size.\n"
    "  --data OUT      write the compiled label data (header and printer stream,\n"
    "                  values left for the terminal), as it goes into the image\n"
    "  --stream OUT    write the printer stream with every variable's initial value\n"
    "  --print TARGET  send that stream to a printer: a device path, cups:QUEUE for\n"
    "                  a CUPS queue (raw data through lp), or LPT1: / COM1:\n"
    "  --lpt1 DEVICE   where LPT1: leads (default /dev/usb/lp0)\n"
    "  --com1 DEVICE   where COM1: leads (default /dev/ttyS0)\n"
    "\n"
    "Exit status: 0 done, 1 the label does not compile, 2 bad arguments, an\n"
    "unreadable project, or a failed write or print.\n";

struct Options {
    std::string project;
    std::optional<std::string> data;
    std::optional<std::string> stream;
    std::optional<std::string> print;
    PrinterPortMap ports;
};

// Returns 0 to go on, otherwise the exit code.
int parse(const QStringList& args, Options& options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        }
        std::optional<std::string>* value = nullptr;
        std::string* port = nullptr;
        if (a == "--data")
            value = &options.data;
        else if (a == "--stream")
            value = &options.stream;
        else if (a == "--print")
            value = &options.print;
        else if (a == "--lpt1")
            port = &options.ports.lpt1;
        else if (a == "--com1")
            port = &options.ports.com1;
        if (value || port) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "qvt label: %s needs a value\n", qPrintable(a));
                return 2;
            }
            std::string v = args[++i].toLocal8Bit().toStdString();
            if (value)
                *value = v;
            else
                *port = v;
        } else if (a.startsWith("-") && a.size() > 1) {
            std::fprintf(stderr, "qvt label: unknown option %s\n", qPrintable(a));
            return 2;
        } else if (options.project.empty()) {
            options.project = a.toLocal8Bit().toStdString();
        } else {
            std::fprintf(stderr, "qvt label: only one project may be given\n");
            return 2;
        }
    }
    if (options.project.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return 0;
}

bool writeOut(const std::string& path, const std::string& bytes)
{
    if (WriteFileAtomically(path, bytes))
        return true;
    std::fprintf(stderr, "qvt label: cannot write %s\n", path.c_str());
    return false;
}

// "LPT1:" and "COM1:" (any letter case) lead where the port map says.
std::string resolveTarget(const std::string& target, const PrinterPortMap& ports)
{
    QString t = QString::fromLocal8Bit(target).toUpper();
    if (t == "LPT1:" || t == "LPT1")
        return ports.lpt1;
    if (t == "COM1:" || t == "COM1")
        return ports.com1;
    return target;
}

} // namespace

int runLabel(const QStringList& args)
{
    Options options;
    if (int code = parse(args, options))
        return code < 0 ? 0 : code;

    ProjectState project;
    StderrMessages messages("qvt label");
    // Opening shows the label compiler's error itself, as the designer does.
    if (LoadProjectFile(options.project, project, messages) != LoadResult::Opened)
        return 2;

    std::string data;
    if (!CompileLabel(project, LabelMode::Image, data))
        return 1;
    if (project.labelText.empty())
        std::fprintf(stderr, "qvt label: %s has no label\n", options.project.c_str());
    else
        std::printf("label: %zu bytes, %d variable insertions, printer stream %zu bytes\n", data.size(),
                    int(uint8_t(data[0])), data.size() - kLabelHeaderBytes);

    if (options.data && !writeOut(*options.data, data))
        return 2;

    if (options.stream || options.print) {
        std::string stream;
        if (!CompileLabel(project, LabelMode::Print, stream)) {
            messages.ShowError("Label file load error.");
            return 1;
        }
        if (options.stream && !writeOut(*options.stream, stream))
            return 2;
        if (options.print) {
            const std::string target = resolveTarget(*options.print, options.ports);
            SystemPrinterOutput printer;
            std::string detail;
            if (!printer.Send(target, stream, detail)) {
                std::fprintf(stderr, "qvt label: cannot print to %s: %s\n", options.print->c_str(), detail.c_str());
                return 2;
            }
        }
    }
    return 0;
}

} // namespace qvt::cli
