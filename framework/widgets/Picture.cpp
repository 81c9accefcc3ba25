#include "framework/widgets/Picture.h"

#include "framework/Resources.h"

#include <QIcon>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace framework {

// Each picture is made once for a size and scale and kept in Qt's pixmap cache, so that a repaint
// only copies it.
QPixmap RenderPicture(int id, QSize size, qreal devicePixelRatio) {
    const QString key = QStringLiteral("mirt-picture-%1-%2x%3@%4")
                            .arg(id)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    if (const PrerenderedPicture* picture =
            FindPrerenderedPicture(id, size.width(), size.height(), devicePixelRatio)) {
        const int width = picture->width * picture->ratio;
        const int height = picture->height * picture->ratio;
        pixmap = QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(picture->pixels), width,
                                           height, width * 4, QImage::Format_ARGB32_Premultiplied));
        pixmap.setDevicePixelRatio(devicePixelRatio);
    } else {
        pixmap = DrawPicture(id, size, devicePixelRatio);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
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

void PictureStatic::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect target = contentsRect();
    QPainter painter(this);
    painter.drawPixmap(target.topLeft(),
                       RenderPicture(m_picture, target.size(), devicePixelRatioF()));
}

// Like every push button of a dialog, it becomes the default button while it has the focus, so
// that Return presses it rather than the window's default button.
PictureButton::PictureButton(int pictureId, QWidget* parent)
    : QPushButton(parent), m_picture(pictureId) {
    setAutoDefault(true);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    QRect target = pictureRect();
    if (isDown())
        target.translate(1, 1);
    if (!isEnabled())
        painter.setOpacity(0.4);
    painter.drawPixmap(target.topLeft(),
                       RenderPicture(m_picture, target.size(), devicePixelRatioF()));
}

} // namespace framework
