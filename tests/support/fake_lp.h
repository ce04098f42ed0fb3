#pragma once

#include "test_files.h"

#include <QByteArray>

#include <string>
#include <string_view>

namespace qvt::test {

// A stand-in for the CUPS client `lp`, first on the PATH while it lives (for
// this process and the programs it starts): records its arguments, one a
// line, and its standard input; prints `saying` and exits with `exitCode`.
class FakeLp {
public:
    explicit FakeLp(int exitCode = 0, std::string_view saying = "");
    ~FakeLp();
    FakeLp(const FakeLp&) = delete;
    FakeLp& operator=(const FakeLp&) = delete;

    bool ran() const;
    std::string args() const;
    std::string input() const;

private:
    TempDir dir_;
    QByteArray oldPath_;
};

} // namespace qvt::test
