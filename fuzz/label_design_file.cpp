// Label design files are shared between users and edited by hand: any bytes
// must import without a crash or a hang, and a design read from one must
// survive an export and import unchanged.
#include "label/label_design_file.h"
#include "label/label_text.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qvt;
    static const VariableTable variables = [] {
        VariableTable t;
        ResetVariables(t);
        return t;
    }();
    const IniFile file(std::string_view(reinterpret_cast<const char*>(data), size));
    // Writing the file back and reading it again changes nothing.
    if (IniFile(file.bytes()).bytes() != file.bytes())
        std::abort();

    LabelDesign design;
    ImportDesign(design, file, variables);
    if (int(design.Elements.size()) > kMaxLabelElements || design.VariableSlots() > kMaxVariableSlots)
        std::abort();

    IniFile copy = file;
    ExportDesign(design, copy, variables);
    LabelDesign back;
    if (!ImportDesign(back, copy, variables) ||
        BuildLabelText(back, variables) != BuildLabelText(design, variables))
        std::abort();
    return 0;
}
