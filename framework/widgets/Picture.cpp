#include "framework/widgets/Picture.h"

#include "framework/Resources.h"

#include <QIcon>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QSvgRenderer>

namespace framework {
namespace {

// Draws the picture centred in target, scaled to fit without changing its shape.
void PaintPicture(QPainter& painter, int id, const QRect& target) {
    const char* path = FindPicturePath(id);
    if (path == nullptr || target.isEmpty())
        return;
    QSvgRenderer renderer(QString::fromUtf8(path));
    if (!renderer.isValid())
        return;
    QSizeF size = renderer.defaultSize();
    size.scale(target.size(), Qt::KeepAspectRatio);
    const QRectF box(target.x() + (target.width() - size.width()) / 2.0,
                     target.y() + (target.height() - size.height()) / 2.0, size.width(),
                     size.height());
    renderer.render(&painter, box);
}

} // namespace

QPixmap RenderPicture(int id, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintPicture(painter, id, QRect(QPoint(0, 0), size));
    return pixmap;
}

QIcon PictureIcon(int id) {
    const char* path = FindPicturePath(id);
    QIcon icon;
    for (int side : {16, 32, 48, 64})
        icon.addPixmap(RenderPicture(id, QSize(side, side), 1.0));
    return path ? icon : QIcon();
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
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPicture(painter, m_picture, contentsRect());
}

PictureButton::PictureButton(int pictureId, QWidget* parent)
    : QPushButton(parent), m_picture(pictureId) {
    setAutoDefault(false);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    const int inset = 2;
    QRect target = rect().adjusted(inset, inset, -inset, -inset);
    if (isDown())
        target.translate(1, 1);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    PaintPicture(painter, m_picture, target);
}

} // namespace framework
