#pragma once

#include "core/display_list.h"

#include <QAbstractScrollArea>
#include <QColor>

namespace qvt {

// The scrollable view of a machine's picture. It paints the exposed part of
// the display list in its paint event and reports mouse events in picture
// pixels, whatever the zoom. The picture's geometry never changes with the
// zoom; only the view scales it.
class DesignCanvas : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit DesignCanvas(QWidget* parent = nullptr);

    // The list stays owned by the caller and must outlive its display here.
    void SetPicture(const DisplayList* picture);
    // Call after the list changed in place.
    void PictureChanged();
    const DisplayList* picture() const { return picture_; }

    // Colour of one picture pixel as the painter draws it (the picture's
    // pixel read-back).
    QColor PixelAt(int x, int y) const;

    // Scrolls so that the cell is visible, in whole cells as the design
    // window always has: right or down in steps of a cell until the cell's far
    // edge is in view, then back to its near edge when that is hidden. True
    // when nothing had to move.
    bool ScrollToCell(int row, int column);

    double zoom() const { return zoom_; }
    // 0.25 to 4; about `anchor` (viewport pixels), or the view's centre.
    void SetZoom(double zoom);
    void SetZoom(double zoom, QPoint anchor);
    void ZoomIn();
    void ZoomOut();
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4.0;

    // Viewport pixel to picture pixel, and back.
    QPoint ToPicture(QPoint viewportPoint) const;
    QPoint ToViewport(QPoint picturePoint) const;

signals:
    void mouseMoved(QPoint picturePoint);
    void mousePressed(QPoint picturePoint, Qt::MouseButton button);
    void mouseReleased(QPoint picturePoint, Qt::MouseButton button);
    void mouseDoubleClicked(QPoint picturePoint);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();

    const DisplayList* picture_ = nullptr;
    double zoom_ = 1.0;
};

} // namespace qvt
