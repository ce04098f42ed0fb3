#include "core/read_file.h"

#include <QFile>

namespace qvt {

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return std::string(data.constData(), size_t(data.size()));
}

} // namespace qvt
