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
    if (RendererFor(id) == nullptr)
        return icon;
    // The icon's own two sizes, and the larger one again for screens at twice the scale.
    for (int side : {16, 32})
        icon.addPixmap(RenderPicture(id, QSize(side, side), 1.0));
    icon.addPixmap(RenderPicture(id, QSize(32, 32), 2.0));
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
