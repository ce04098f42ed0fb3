#pragma once

#include <QString>

#include <string>
#include <vector>

namespace qvt {

// The projects opened or saved last, newest first, at most kLimit of them.
// Kept in an INI file when one is given (the designer's own), only in memory
// otherwise. Paths are local 8-bit file names, as the project keeps them.
class RecentProjects {
public:
    static constexpr int kLimit = 8;

    explicit RecentProjects(QString settingsFile = {});

    const std::vector<std::string>& paths() const { return paths_; }
    // Puts `path` first, dropping an older entry of the same file.
    void add(const std::string& path);
    void remove(const std::string& path);

private:
    void save() const;

    QString settingsFile_;
    std::vector<std::string> paths_;
};

} // namespace qvt
