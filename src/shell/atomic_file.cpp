#include "shell/atomic_file.h"

#include <QFile>
#include <QSaveFile>

namespace qvt {

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const char* data = bytes.data();
    qint64 left = qint64(bytes.size());
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0 || file.error() != QFileDevice::NoError) {
            file.cancelWriting();
            return false;
        }
        data += written;
        left -= written;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace qvt
