#include "shell/command_images.h"

#include <QPainter>
#include <QSvgRenderer>

// The images live in a static library; their resource initialiser has to be
// referenced or the linker drops it.
static void initImageResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace qvt {

namespace {

const char* imageFile(int index)
{
    switch (index) {
    case 0: return ":/icons/exit.svg";
    case 1: return ":/icons/save.svg";
    case 2: return ":/icons/open.svg";
    case 3: return ":/icons/new.svg";
    case 4: return ":/icons/compile.svg";
    case 6: return ":/icons/upload.svg";
    case 7: return ":/icons/variables.svg";
    case 8: return ":/icons/online.svg";
    case 9: return ":/icons/offline.svg";
    case 10: return ":/icons/version.svg";
    case 27: return ":/icons/label.svg";
    case 37: return ":/icons/timer.svg";
    }
    return nullptr;
}

// Drawn here rather than through the image plug-ins, so the pictures show
// even where the SVG plug-ins are not installed.
QPixmap render(const QString& file, QSize size)
{
    initImageResources();
    QSvgRenderer renderer(file);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

} // namespace

QIcon commandImage(int index)
{
    const char* file = imageFile(index);
    if (!file)
        return {};
    QIcon icon;
    for (int side : {24, 48})
        icon.addPixmap(render(QString::fromLatin1(file), QSize(side, side)));
    return icon;
}

QPixmap backgroundTile()
{
    return render(QStringLiteral(":/background.svg"), QSize(320, 240));
}

} // namespace qvt
