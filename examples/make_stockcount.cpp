// Writes the sample project: make-stockcount PATH
#include "stockcount_project.h"

#include "shell/project_file.h"

#include <cstdio>

namespace {

class PrintedMessages : public qvt::Messages {
public:
    int AskYesNo(std::string_view, std::string_view) override { return qvt::AnswerNo; }
    int AskYesNoCancel(std::string_view, std::string_view) override { return qvt::AnswerCancel; }
    void ShowInfo(std::string_view, std::string_view m) override { print(m); }
    void ShowError(std::string_view m) override { print(m); }
    bool AskInteger(int&, std::string_view) override { return false; }
    bool AskText(std::string&, std::string_view) override { return false; }
    bool SelectVariable(int, int&, int&) override { return false; }

private:
    static void print(std::string_view m) { std::fprintf(stderr, "%.*s\n", int(m.size()), m.data()); }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-stockcount PATH\n");
        return 2;
    }
    qvt::ProjectState project;
    PrintedMessages messages;
    if (!qvt::examples::BuildStockCountProject(project, messages) || !qvt::WriteProjectFile(argv[1], project)) {
        std::fprintf(stderr, "make-stockcount: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
