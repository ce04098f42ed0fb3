#include "cli/commands.h"
#include "core/headless_messages.h"
#include "label/label_compiler.h"
#include "label/label_preview.h"
#include "label/label_printer.h"
#include "label/label_text.h"
#include "core/atomic_file.h"
#include "core/display_painter.h"
#include "project/project_file.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <optional>

namespace qvt::cli {

namespace {

bool writeOut(const Invocation& invocation, const std::string& path, const std::string& bytes)
{
    if (WriteFileAtomically(path, bytes))
        return true;
    invocation.error("cannot write " + path);
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

int runLabel(const Invocation& invocation)
{
    const std::string path = invocation.argument(0);
    const auto given = [&](const char* option) {
        return invocation.isSet(option) ? std::optional(invocation.path(option)) : std::nullopt;
    };
    const std::optional<std::string> dataPath = given("data");
    const std::optional<std::string> streamPath = given("stream");
    const std::optional<std::string> printTarget = given("print");
    const std::optional<std::string> previewPath = given("preview");
    int dpi = int(kPrinterDotsPerInch);
    if (invocation.isSet("dpi") && !invocation.number("dpi", 10, 2400, dpi))
        return invocation.badArgument("--dpi must be a whole number from 10 to 2400");
    const QString previewSuffix = previewPath ? QFileInfo(invocation.value("preview")).suffix().toLower() : QString();
    if (previewPath && previewSuffix != "png" && previewSuffix != "svg")
        return invocation.badArgument("the name of the preview must end in .png or .svg");
    if (previewPath && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        invocation.error("drawing needs the graphical application; none was made");
        return 2;
    }
    PrinterPortMap ports;
    ports.lpt1 = invocation.path("lpt1");
    ports.com1 = invocation.path("com1");

    ProjectState project;
    StderrMessages messages("qvt label");
    // Opening shows the label compiler's error itself, as the designer does.
    if (LoadProjectFile(path, project, messages) != LoadResult::Opened)
        return 2;

    std::string data;
    if (!CompileLabel(project, LabelMode::Image, data))
        return 1;
    if (project.labelText.empty())
        invocation.error(path + " has no label");
    else
        std::printf("label: %zu bytes, %d variable insertions, printer stream %zu bytes\n", data.size(),
                    int(uint8_t(data[0])), data.size() - kLabelHeaderBytes);

    if (dataPath && !writeOut(invocation, *dataPath, data))
        return 2;

    if (streamPath || printTarget) {
        std::string stream;
        if (!CompileLabel(project, LabelMode::Print, stream)) {
            messages.ShowError("Label file load error.");
            return 1;
        }
        if (streamPath && !writeOut(invocation, *streamPath, stream))
            return 2;
        if (printTarget) {
            const std::string target = resolveTarget(*printTarget, ports);
            SystemPrinterOutput printer;
            std::string detail;
            if (!printer.Send(target, stream, detail)) {
                invocation.error("cannot print to " + *printTarget + ": " + detail);
                return 2;
            }
        }
    }
    if (previewPath) {
        // Drawn from the printer stream --stream writes, at `dpi` dots per inch.
        PainterFontMetrics metrics;
        LabelPreviewer previewer(metrics);
        DisplayList picture;
        if (!previewer.BuildFromLabelText(project.labelText, project.variables, dpi, picture)) {
            messages.ShowError("Label file load error.");
            return 1;
        }
        if (picture.width <= 0 || picture.height <= 0) {
            invocation.error(path + ": no label to preview");
            return 1;
        }
        QString error;
        const QString out = invocation.value("preview");
        const bool written =
            previewSuffix == "png" ? WritePng(picture, out, &error) : WriteSvg(picture, out, &error);
        if (!written) {
            invocation.error("cannot write " + *previewPath + ": " + error.toStdString());
            return 2;
        }
    }
    return 0;
}

} // namespace

const Command kLabelCommand{
    "label",
    "compile, write or print a project's label",
    "Compiles the project's label and reports its size.",
    {{"PROJECT.zmk", "the project file"}},
    {
        {{"data"}, "OUT", "write the compiled label data (header and printer stream, values left for the terminal), "
                          "as it goes into the image"},
        {{"stream"}, "OUT", "write the printer stream with every variable's initial value"},
        {{"print"}, "TARGET", "send that stream to a printer: a device path, cups:QUEUE for a CUPS queue (raw data "
                              "through lp), or LPT1: / COM1:"},
        {{"lpt1"}, "DEVICE", "where LPT1: leads", QString::fromStdString(PrinterPortMap().lpt1)},
        {{"com1"}, "DEVICE", "where COM1: leads", QString::fromStdString(PrinterPortMap().com1)},
        {{"preview"}, "OUT", "draw what the printer prints into OUT.png or OUT.svg: the stream of --stream read "
                             "back, as the label leaves the printer, one pixel per printer dot"},
        {{"dpi"}, "N", "the preview's dots per inch; the stream's unit is 1/100 inch", "100"},
    },
    "0 done, 1 the label does not compile (or there is no label to preview), 2 bad arguments, an unreadable project, or a failed write or print.",
    runLabel,
};

} // namespace qvt::cli
