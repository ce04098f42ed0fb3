#include "label/label_commands.h"

#include "label/label_compiler.h"
#include "label/label_text.h"

#include <exception>

namespace qvt {

std::optional<std::string> TryBuildLabelText(const LabelDesign& design, const VariableTable& variables)
{
    try {
        std::string text = BuildLabelText(design, variables);
        LabelFieldReader reader(text);
        if (!reader.readable() || reader.number("cnt") != int(design.Elements.size()))
            return std::nullopt;
        return text;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool CompileSavedLabel(ProjectState& project, Messages& messages, bool report)
{
    std::string output;
    if (CompileLabel(project, LabelMode::Image, output)) {
        project.labelData = std::move(output);
        if (report)
            messages.ShowInfo(kLabelCompiledTitle, kLabelCompiledMessage);
        return true;
    }
    project.labelData.clear();
    std::string message(kLabelNotCompiled);
    if (!output.empty())
        message += '\r' + output;
    messages.ShowError(message);
    return false;
}

bool SaveLabel(ProjectState& project, const std::optional<std::string>& labelText, std::string& savedLabelText,
               Messages& messages)
{
    // An empty label text would lose the label the project had; the previous
    // one stays until a label text can be built.
    if (!labelText) {
        messages.ShowError(kLabelFileSaveError);
        return false;
    }
    project.labelText = *labelText;
    savedLabelText = *labelText;
    return CompileSavedLabel(project, messages, false);
}

bool TestPrint(std::string_view labelText, const VariableTable& variables, PrinterPort port,
               const PrinterPortMap& ports, PrinterOutput& output, Messages& messages)
{
    std::string stream;
    if (!CompileLabel(labelText, variables, LabelMode::Print, stream)) {
        messages.ShowError(kLabelPrintCompileError);
        return false;
    }
    std::string detail;
    if (output.Send(ports.targetOf(port), stream, detail))
        return true;
    std::string message = portErrorMessage(port);
    if (!detail.empty())
        message += '\r' + detail;
    messages.ShowError(message);
    return false;
}

} // namespace qvt
