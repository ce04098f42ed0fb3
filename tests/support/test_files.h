#pragma once

#include <QTemporaryDir>

#include <string>
#include <string_view>

namespace qvt::test {

// Whole-file helpers for tests; bytes in, bytes out.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);
// Root of the source tree (examples/, fixtures).
std::string sourcePath(std::string_view relative);

// A scratch folder removed with the test.
class TempDir {
public:
    std::string path(std::string_view name) const;
    bool isValid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
};

} // namespace qvt::test
