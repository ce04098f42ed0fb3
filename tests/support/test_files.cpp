#include "test_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qvt::test {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string sourcePath(std::string_view relative)
{
    const char* root = std::getenv("QVT_SOURCE_DIR");
    std::string base = root ? root : QVT_DEFAULT_SOURCE_DIR;
    return base + "/" + std::string(relative);
}

std::string TempDir::path(std::string_view name) const
{
    return dir_.path().toStdString() + "/" + std::string(name);
}

} // namespace qvt::test
