#include "compiler/compile_failure.h"
#include "compiler/image_builder.h"
#include "shell/messages.h"

#include <QFile>
#include <QSaveFile>

namespace qvt {

void WriteImageBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, Messages& messages)
{
    // Unbuffered, and every step checked: a write error that would only show
    // when a buffer is flushed must not let a truncated image be renamed into
    // place by commit().
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        messages.ShowError(kMsgCouldNotCreateFile);
        throw CompileFailure("could not create the image file " + path + ": " + file.errorString().toStdString());
    }
    const char* data = reinterpret_cast<const char*>(bytes.data());
    qint64 left = qint64(bytes.size());
    auto fail = [&] {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw CompileFailure("writing the image file " + path + " failed: " + reason);
    };
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0 || file.error() != QFileDevice::NoError)
            fail();
        data += written;
        left -= written;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        fail();
    if (!file.commit())
        throw CompileFailure("writing the image file " + path + " failed: " + file.errorString().toStdString());
}

std::vector<std::uint8_t> TIT::WriteImageFile(const ProjectState& project, int onlineTimerInterval,
                                              int offlineTimerInterval, Messages& messages,
                                              const std::string& path) const
{
    std::vector<std::uint8_t> image =
        LayoutImage(project.variables, project.labelData, onlineTimerInterval, offlineTimerInterval);
    WriteImageBytes(path.empty() ? ImageFileName() : path, image, messages);
    return image;
}

} // namespace qvt
