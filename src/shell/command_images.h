#pragma once

#include <QIcon>
#include <QPixmap>

namespace qvt {

// The shared list of 24 by 24 command images, addressed by the image numbers
// the commands are declared with (0 Exit, 1 Save, 2 Open, 3 New, ...). A
// number without a picture gives a null icon.
QIcon commandImage(int index);

// The 320 by 240 picture tiled over the main window's empty area.
QPixmap backgroundTile();

} // namespace qvt
