// Writes the sample project: make-stockcount PATH
#include "stockcount_project.h"

#include "core/headless_messages.h"
#include "project/project_file.h"

#include <cstdio>


int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-stockcount PATH\n");
        return 2;
    }
    qvt::ProjectState project;
    qvt::StderrMessages messages("make-stockcount");
    if (!qvt::examples::BuildStockCountProject(project, messages) || !qvt::WriteProjectFile(argv[1], project)) {
        std::fprintf(stderr, "make-stockcount: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
