#include "shell/recent_projects.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace qvt {

namespace {
constexpr const char* kKey = "recentProjects";
}

RecentProjects::RecentProjects(QString settingsFile)
    : settingsFile_(std::move(settingsFile))
{
    if (settingsFile_.isEmpty())
        return;
    QSettings settings(settingsFile_, QSettings::IniFormat);
    for (const QString& path : settings.value(kKey).toStringList()) {
        const QByteArray local = QFile::encodeName(path);
        std::string entry(local.constData(), size_t(local.size()));
        if (!entry.empty() && std::find(paths_.begin(), paths_.end(), entry) == paths_.end()
            && int(paths_.size()) < kLimit)
            paths_.push_back(std::move(entry));
    }
}

void RecentProjects::add(const std::string& path)
{
    if (path.empty())
        return;
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
    paths_.insert(paths_.begin(), path);
    if (int(paths_.size()) > kLimit)
        paths_.resize(kLimit);
    save();
}

void RecentProjects::remove(const std::string& path)
{
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
    save();
}

void RecentProjects::save() const
{
    if (settingsFile_.isEmpty())
        return;
    QStringList list;
    for (const std::string& path : paths_)
        list << QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(kKey, list);
}

} // namespace qvt
