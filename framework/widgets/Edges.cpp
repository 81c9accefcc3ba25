#include "framework/widgets/Edges.h"

#include <QPainter>
#include <QWidget>

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

} // namespace framework
