#include "fake_lp.h"

#include <QFile>
#include <QtGlobal>

namespace qvt::test {

FakeLp::FakeLp(int exitCode, std::string_view saying)
{
    const std::string program = dir_.path("lp");
    writeFile(program, "#!/bin/sh\n"
                       "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + dir_.path("args") + "'\n"
                       "cat > '" + dir_.path("stdin") + "'\n"
                       "echo '" + std::string(saying) + "'\n"
                       "exit " + std::to_string(exitCode) + "\n");
    QFile::setPermissions(QString::fromStdString(program), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    oldPath_ = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir_.path("")) + ":" + oldPath_);
}

FakeLp::~FakeLp()
{
    qputenv("PATH", oldPath_);
}

bool FakeLp::ran() const
{
    return QFile::exists(QString::fromStdString(dir_.path("args")));
}

std::string FakeLp::args() const
{
    return readFile(dir_.path("args"));
}

std::string FakeLp::input() const
{
    return readFile(dir_.path("stdin"));
}

} // namespace qvt::test
