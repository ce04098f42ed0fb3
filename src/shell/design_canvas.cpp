#include "shell/design_canvas.h"

#include "core/display_painter.h"
#include "editor/machine_picture.h"
#include "model/item.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace qvt {

DesignCanvas::DesignCanvas(QWidget* parent) : QAbstractScrollArea(parent)
{
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void DesignCanvas::SetPicture(const DisplayList* picture)
{
    picture_ = picture;
    PictureChanged();
}

void DesignCanvas::PictureChanged()
{
    UpdateScrollBars();
    viewport()->update();
}

void DesignCanvas::UpdateScrollBars()
{
    const int width = picture_ ? int(std::ceil(picture_->width * zoom_)) : 0;
    const int height = picture_ ? int(std::ceil(picture_->height * zoom_)) : 0;
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(std::max(1, int(kCellWidth * zoom_ / 4)));
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(1, int(kCellHeight * zoom_ / 4)));
}

QPoint DesignCanvas::ToPicture(QPoint p) const
{
    return {int(std::floor((p.x() + horizontalScrollBar()->value()) / zoom_)),
            int(std::floor((p.y() + verticalScrollBar()->value()) / zoom_))};
}

QPoint DesignCanvas::ToViewport(QPoint p) const
{
    return {int(p.x() * zoom_) - horizontalScrollBar()->value(), int(p.y() * zoom_) - verticalScrollBar()->value()};
}

QColor DesignCanvas::PixelAt(int x, int y) const
{
    if (!picture_)
        return {};
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(QColor(picture_->background.r, picture_->background.g, picture_->background.b));
    QPainter painter(&pixel);
    painter.translate(-x, -y);
    PaintDisplayList(painter, *picture_, QRect(x, y, 1, 1));
    painter.end();
    return pixel.pixelColor(0, 0);
}

bool DesignCanvas::ScrollToCell(int row, int column)
{
    // The rule works in picture pixels; the view scales it.
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const ScrollPosition now{int(std::lround(h->value() / zoom_)), int(std::lround(v->value() / zoom_))};
    const ScrollPosition wanted = qvt::ScrollToCell(now, int(viewport()->width() / zoom_),
                                                   int(viewport()->height() / zoom_), row, column);
    const int beforeX = h->value();
    const int beforeY = v->value();
    if (wanted.x != now.x)
        h->setValue(int(std::lround(wanted.x * zoom_)));
    if (wanted.y != now.y)
        v->setValue(int(std::lround(wanted.y * zoom_)));
    return h->value() == beforeX && v->value() == beforeY;
}

void DesignCanvas::SetZoom(double zoom)
{
    SetZoom(zoom, viewport()->rect().center());
}

void DesignCanvas::SetZoom(double zoom, QPoint anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_)
        return;
    // Keep the picture point under the anchor where it is.
    const double px = (anchor.x() + horizontalScrollBar()->value()) / zoom_;
    const double py = (anchor.y() + verticalScrollBar()->value()) / zoom_;
    zoom_ = zoom;
    UpdateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(px * zoom_ - anchor.x())));
    verticalScrollBar()->setValue(int(std::lround(py * zoom_ - anchor.y())));
    viewport()->update();
    emit zoomChanged(zoom_);
}

void DesignCanvas::ZoomIn()
{
    SetZoom(zoom_ * 1.25);
}

void DesignCanvas::ZoomOut()
{
    SetZoom(zoom_ / 1.25);
}

void DesignCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (!picture_)
        return;
    const int sx = horizontalScrollBar()->value();
    const int sy = verticalScrollBar()->value();
    painter.translate(-sx, -sy);
    painter.scale(zoom_, zoom_);
    // The exposed region in picture pixels, grown by one for the pixels a
    // scaled edge shares with its neighbour.
    const QRect exposed = event->rect();
    const QRect inPicture(int(std::floor((exposed.left() + sx) / zoom_)) - 1,
                          int(std::floor((exposed.top() + sy) / zoom_)) - 1, int(std::ceil(exposed.width() / zoom_)) + 3,
                          int(std::ceil(exposed.height() / zoom_)) + 3);
    const QRect pictureRect(0, 0, picture_->width, picture_->height);
    painter.fillRect(inPicture & pictureRect,
                     QColor(picture_->background.r, picture_->background.g, picture_->background.b));
    painter.setClipRect(pictureRect);
    PaintDisplayList(painter, *picture_, inPicture & pictureRect);
}

void DesignCanvas::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void DesignCanvas::scrollContentsBy(int, int)
{
    viewport()->update();
}

void DesignCanvas::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(ToPicture(event->position().toPoint()));
}

void DesignCanvas::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    emit mousePressed(ToPicture(event->position().toPoint()), event->button());
}

void DesignCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(ToPicture(event->position().toPoint()), event->button());
}

void DesignCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit mouseDoubleClicked(ToPicture(event->position().toPoint()));
}

void DesignCanvas::keyPressEvent(QKeyEvent* event)
{
    // The arrow keys move the selection and Delete deletes: the window
    // handles them, so they must not scroll the view here.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
        event->ignore();
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void DesignCanvas::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta != 0)
            SetZoom(delta > 0 ? zoom_ * 1.25 : zoom_ / 1.25, event->position().toPoint());
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

} // namespace qvt
