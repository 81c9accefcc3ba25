#include "framework/widgets/Picture.h"

#include "framework/Resources.h"

#include <QIcon>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace framework {

QPixmap RenderPicture(int id, QSize size, qreal devicePixelRatio) {
    if (const PrerenderedPicture* picture =
            FindPrerenderedPicture(id, size.width(), size.height(), devicePixelRatio)) {
        const int width = picture->width * picture->ratio;
        const int height = picture->height * picture->ratio;
        const QImage image(reinterpret_cast<const uchar*>(picture->pixels), width, height,
                           width * 4, QImage::Format_ARGB32_Premultiplied);
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(devicePixelRatio);
        return pixmap;
    }
    return DrawPicture(id, size, devicePixelRatio);
}

// The SVG is drawn by Qt's SVG icon engine, a plugin that is loaded only when a picture is
// needed at a size nothing was drawn for ahead of time: the program itself does not link the
// SVG library. The engine fits the picture into the size without changing its shape; it is
// centred on whole device pixels.
QPixmap DrawPicture(int id, QSize size, qreal devicePixelRatio) {
    const char* path = FindPicturePath(id);
    if (path == nullptr || size.isEmpty())
        return {};
    QPixmap drawn = QIcon(QString::fromUtf8(path)).pixmap(size, devicePixelRatio);
    if (drawn.isNull())
        return {};
    drawn.setDevicePixelRatio(1.0); // placed in device pixels below
    const QSize device = size * devicePixelRatio;
    QPixmap pixmap(device);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.drawPixmap((device.width() - drawn.width()) / 2,
                           (device.height() - drawn.height()) / 2, drawn);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon PictureIcon(int id) {
    QIcon icon;
    if (FindPicturePath(id) == nullptr)
        return icon;
    // The icon's own two sizes, and the larger one again for screens at twice the scale.
    for (const IconRendition& rendition : kIconRenditions) {
        const QPixmap pixmap =
            RenderPicture(id, QSize(rendition.side, rendition.side), rendition.ratio);
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

PictureStatic::PictureStatic(int pictureId, bool raisedBorder, QWidget* parent)
    : QFrame(parent), m_picture(pictureId) {
    if (raisedBorder) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(2);
    }
}

// The picture is drawn once for its size and scale and then only copied on each repaint.
void PictureStatic::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect target = contentsRect();
    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || m_cache.deviceIndependentSize().toSize() != target.size() ||
        m_cache.devicePixelRatio() != ratio)
        m_cache = RenderPicture(m_picture, target.size(), ratio);
    QPainter painter(this);
    painter.drawPixmap(target.topLeft(), m_cache);
}

// Like every push button of a dialog, it becomes the default button while it has the focus, so
// that Return presses it rather than the window's default button.
PictureButton::PictureButton(int pictureId, QWidget* parent)
    : QPushButton(parent), m_picture(pictureId) {
    setAutoDefault(true);
}

QRect PictureButton::pictureRect() const {
    const int inset = 2;
    return rect().adjusted(inset, inset, -inset, -inset);
}

// Like PictureStatic, the picture is drawn once for its size and scale and then only copied.
void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    QRect target = pictureRect();
    if (isDown())
        target.translate(1, 1);
    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || m_cache.deviceIndependentSize().toSize() != target.size() ||
        m_cache.devicePixelRatio() != ratio)
        m_cache = RenderPicture(m_picture, target.size(), ratio);
    if (!isEnabled())
        painter.setOpacity(0.4);
    painter.drawPixmap(target.topLeft(), m_cache);
}

} // namespace framework
