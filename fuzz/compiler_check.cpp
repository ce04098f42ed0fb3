// Compiles arbitrary bytes as machine texts. The first byte picks the machine
// that the whole input is checked as (the design window's check); then the
// input, cut at NUL bytes, gives the four machines of a project (storage
// order) and its label text, which are checked and, when clean, compiled to
// an image whose layout must hold together.

#include "compiler/compile_driver.h"
#include "compiler/image_layout.h"
#include "label/label_compiler.h"
#include "model/items_list.h"
#include "core/headless_messages.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

qvt::MachineText Lines(std::string_view text)
{
    qvt::MachineText lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            std::string_view line = text.substr(start, i - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            lines.emplace_back(line);
            start = i + 1;
        }
    }
    return lines;
}

std::uint32_t At24(const std::vector<std::uint8_t>& image, std::size_t at)
{
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16;
}

void CheckAlone(qvt::MachineId machine, std::string_view text, qvt::Messages& messages)
{
    try {
        const qvt::TitcItemsList items(Lines(text), messages);
        const qvt::CheckResult result = qvt::CheckMachine(machine, items);
        if (result.errors.count() > qvt::ErrorList::kCapacity)
            std::abort();
    } catch (const qvt::MachineTextError&) {
    }
}

void CheckWholeProject(std::string_view text, qvt::Messages& messages)
{
    qvt::ProjectState project;
    project.newProject();
    std::array<std::string_view, 5> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t cut = i + 1 < parts.size() ? text.find('\0') : std::string_view::npos;
        parts[i] = text.substr(0, cut);
        text = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    }
    for (int i = 0; i < 4; ++i)
        (*project.machineTexts)[std::size_t(i)] = Lines(parts[std::size_t(i)]);
    project.labelText = std::string(parts[4]);
    // As opening the project does: a label that fails leaves its message.
    qvt::CompileProjectLabel(project);

    const qvt::CompileSettings settings = qvt::CompileSettings::ForProject(project);
    const qvt::ProjectCheck check = qvt::CheckProject(project, settings, messages);
    const qvt::CompileResult compiled = qvt::CompileProjectImage(project, settings, messages);
    const bool clean = !check.hasErrors() && !check.hasFailures();
    // The check and the compile judge the project alike.
    if (clean != (compiled.outcome == qvt::CompileOutcome::ImageWritten))
        std::abort();
    if (compiled.outcome != qvt::CompileOutcome::ImageWritten)
        return;
    const std::vector<std::uint8_t>& image = compiled.image;
    if (image.size() < std::size_t(qvt::image::kOnlineCode + qvt::image::kTrailerSize)
        || image.size() > std::size_t(qvt::image::kBufferSize)
        || At24(image, qvt::image::kEnd) + qvt::image::kTrailerSize != image.size()
        || !qvt::ImageChecksumValid(image))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto machine = static_cast<qvt::MachineId>(data[0] % 4 + 1);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    qvt::SilentMessages messages;
    CheckAlone(machine, text, messages);
    CheckWholeProject(text, messages);
    return 0;
}
