#include "compiler/compile_failure.h"
#include "compiler/image_builder.h"
#include "core/atomic_file.h"
#include "core/messages.h"


namespace qvt {

void WriteImageBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, Messages& messages)
{
    FileWriteFailure failure;
    if (WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                            &failure))
        return;
    if (failure.createFailed) {
        messages.ShowError(kMsgCouldNotCreateFile);
        throw CompileFailure("could not create the image file " + path + ": " + failure.reason);
    }
    throw CompileFailure("writing the image file " + path + " failed: " + failure.reason);
}

std::vector<std::uint8_t> TIT::WriteImageFile(const ProjectState& project, int onlineTimerInterval,
                                              int offlineTimerInterval, Messages& messages,
                                              const std::string& path) const
{
    std::vector<std::uint8_t> image =
        LayoutImage(project.variables, project.labelData, onlineTimerInterval, offlineTimerInterval);
    WriteImageBytes(path.empty() ? ImageFileName() : path, image, messages);
    return image;
}

} // namespace qvt
