#include "core/atomic_file.h"

#include <QFile>
#include <QSaveFile>

namespace qvt {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileWriteFailure* failure)
{
    QSaveFile file(QFile::decodeName(path.c_str()));
    const auto fail = [&](bool createFailed = false) {
        if (failure)
            *failure = {createFailed, file.errorString().toStdString()};
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(true);
    const char* data = bytes.data();
    qint64 left = qint64(bytes.size());
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0 || file.error() != QFileDevice::NoError)
            return fail();
        data += written;
        left -= written;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError || !file.commit())
        return fail();
    return true;
}

} // namespace qvt
