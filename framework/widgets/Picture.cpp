#include "framework/widgets/Picture.h"

#include "framework/Resources.h"

#include <QIcon>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QSvgRenderer>

#include <map>
#include <memory>

namespace framework {
namespace {

// Each picture's source is parsed once per process; null when there is none or it is broken.
QSvgRenderer* RendererFor(int id) {
    static std::map<int, std::unique_ptr<QSvgRenderer>> renderers;
    auto [it, added] = renderers.try_emplace(id);
    if (added) {
        const char* path = FindPicturePath(id);
        if (path != nullptr) {
            auto renderer = std::make_unique<QSvgRenderer>(QString::fromUtf8(path));
            if (renderer->isValid())
                it->second = std::move(renderer);
        }
    }
    return it->second.get();
}

// Draws the picture centred in target, scaled to fit without changing its shape.
void PaintPicture(QPainter& painter, int id, const QRect& target) {
    QSvgRenderer* renderer = RendererFor(id);
    if (renderer == nullptr || target.isEmpty())
        return;
    QSizeF size = renderer->defaultSize();
    size.scale(target.size(), Qt::KeepAspectRatio);
    const QRectF box(target.x() + (target.width() - size.width()) / 2.0,
                     target.y() + (target.height() - size.height()) / 2.0, size.width(),
                     size.height());
    renderer->render(&painter, box);
}

} // namespace

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

QPixmap DrawPicture(int id, QSize size, qreal devicePixelRatio) {
    if (RendererFor(id) == nullptr)
        return {};
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPicture(painter, id, QRect(QPoint(0, 0), size));
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
