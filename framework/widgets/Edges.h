// Frame lines that stay whole at every scale factor.
#pragma once

#include <QColor>

class QWidget;

namespace framework {

// Paints the four edges of `widget` as bands one logical pixel thick, rounded down to whole
// device pixels (at least one): the top and left in `shadow`, the bottom and right in `light`.
// A band of whole device pixels always covers the row or column it lies on, where the lines of
// Fusion's panel frames fall between device pixels at 125 % and 150 % and some edges vanish.
void PaintEdges(QWidget& widget, const QColor& shadow, const QColor& light);

} // namespace framework
