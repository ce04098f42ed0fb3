// Project files are opened from anywhere: any bytes must open without a crash
// or a hang, leave one of the three states an open can end in, and a project
// that opened must save to a file that opens to the same project.
#include "core/headless_messages.h"
#include "project/project_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One scratch file per process, removed when the fuzzer exits.
char scratchName[] = "/tmp/qvt-fuzz-project-XXXXXX";

const char* scratchPath()
{
    static const bool made = [] {
        const int fd = mkstemp(scratchName);
        if (fd < 0)
            std::abort();
        close(fd);
        std::atexit([] { unlink(scratchName); });
        return true;
    }();
    (void)made;
    return scratchName;
}

void put(const std::string& bytes)
{
    std::FILE* file = std::fopen(scratchPath(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qvt;
    put(std::string(reinterpret_cast<const char*>(data), size));

    ProjectState project;
    project.newProject();
    project.machineText(MachineId::Online) = {"before"};
    project.modified = true;
    SilentMessages messages;
    switch (LoadProjectFile(scratchPath(), project, messages)) {
    case LoadResult::LoadError:
        if (project.isOpen() || project.modified || !project.projectFileName.empty())
            std::abort();
        return 0;
    case LoadResult::FormatError:
        // A refused file keeps no name, so the next Save cannot write over it.
        if (!project.isOpen() || project.modified || messages.errorCount != 1 || !project.projectFileName.empty())
            std::abort();
        for (const MachineText& text : *project.machineTexts)
            if (!text.empty())
                std::abort();
        return 0;
    case LoadResult::Opened:
        break;
    }
    if (!project.isOpen() || project.modified)
        std::abort();

    const std::string saved = ProjectFileBytes(project);
    put(saved);
    ProjectState again;
    if (LoadProjectFile(scratchPath(), again, messages) != LoadResult::Opened || ProjectFileBytes(again) != saved ||
        again.labelData != project.labelData)
        std::abort();
    return 0;
}
