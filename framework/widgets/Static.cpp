#include "framework/widgets/Static.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace framework {

void PaintEdges(QWidget& widget, const QColor& shadow, const QColor& light) {
    const qreal ratio = widget.devicePixelRatioF();
    const qreal band = std::max(1.0, std::floor(ratio)) / ratio;
    const qreal w = widget.width();
    const qreal h = widget.height();
    QPainter painter(&widget);
    painter.fillRect(QRectF(0, 0, w, band), shadow);
    painter.fillRect(QRectF(0, 0, band, h), shadow);
    painter.fillRect(QRectF(0, h - band, w, band), light);
    painter.fillRect(QRectF(w - band, 0, band, h), light);
}

Static::Static(const ControlTemplate& control, QWidget* parent)
    : QLabel(QString::fromUtf8(control.text), parent),
      m_pathEllipsis((control.style & SS_PATHELLIPSIS) != 0) {
    setTextFormat(Qt::PlainText);
    setWordWrap(!m_pathEllipsis);
    const bool centred = (control.style & 0x3) == SS_CENTER;
    setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    if ((control.style & 0x1F) == SS_BLACKFRAME) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        QPalette black = palette();
        black.setColor(QPalette::WindowText, Qt::black);
        setPalette(black);
        setText(QString());
    } else if (control.exStyle & WS_EX_CLIENTEDGE) {
        m_edge = Edge::ClientEdge;
        setContentsMargins(2, 2, 2, 2);
    } else if (control.style & SS_SUNKEN) {
        m_edge = Edge::Sunken;
        setContentsMargins(1, 1, 1, 1);
    }
    // The classic static draws its text right inside its border, without an indent.
    setIndent(0);
}

void Static::paintEvent(QPaintEvent* event) {
    if (m_pathEllipsis) {
        QPainter painter(this);
        const QRect room = contentsRect();
        painter.drawText(room, int(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
    } else {
        QLabel::paintEvent(event);
    }
    const bool sunken = m_edge == Edge::Sunken;
    if (m_edge != Edge::None)
        PaintEdges(*this, palette().color(sunken ? QPalette::Dark : QPalette::Mid),
                   palette().color(sunken ? QPalette::Light : QPalette::Mid));
}

} // namespace framework
