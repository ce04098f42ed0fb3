// Label texts come from project files of any origin: reading them into a
// design and compiling them must neither crash nor hang, and whatever
// compiles must be data the terminal can use safely.
#include "label/label_compiler.h"
#include "label/label_text.h"
#include "core/headless_messages.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qvt;
    static const VariableTable variables = [] {
        VariableTable t;
        ResetVariables(t);
        return t;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);

    SilentMessages messages;
    LabelDesign design;
    LoadLabelText(text, design, variables, messages);
    if (int(design.Elements.size()) > kMaxLabelElements || design.VariableSlots() > kMaxVariableSlots)
        std::abort();
    // What was read writes back to a text that reads to the same design.
    const std::string rebuilt = BuildLabelText(design, variables);
    LabelDesign again;
    if (!LoadLabelText(rebuilt, again, variables, messages) || BuildLabelText(again, variables) != rebuilt)
        std::abort();

    std::string out;
    if (CompileLabel(text, variables, LabelMode::Image, out) && !out.empty()) {
        if (out.size() < kLabelHeaderBytes || out.size() > kMaxLabelDataBytes)
            std::abort();
        const size_t streamSize = uint8_t(out[1]) | size_t(uint8_t(out[2])) << 8;
        const int entries = uint8_t(out[0]);
        if (streamSize != out.size() - kLabelHeaderBytes || entries > kMaxInsertions)
            std::abort();
        for (int i = 0; i < entries; ++i) {
            const char* e = out.data() + 3 + 4 * i;
            const size_t offset = uint8_t(e[2]) | size_t(uint8_t(e[3])) << 8;
            if (e[0] < 2 || e[0] > 4 || offset >= streamSize || out[kLabelHeaderBytes + offset] != '\r')
                std::abort();
        }
    }
    CompileLabel(text, variables, LabelMode::Print, out);
    return 0;
}
