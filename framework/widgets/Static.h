// A text static of a window template, and the frame lines that statics and list boxes paint.
#pragma once

#include "framework/Template.h"

#include <QColor>
#include <QLabel>

namespace framework {

// Paints the four edges of `widget` as bands one logical pixel thick, rounded down to whole
// device pixels (at least one): the top and left in `shadow`, the bottom and right in `light`.
// A band of whole device pixels always covers the row or column it lies on, where the lines of
// Fusion's panel frames fall between device pixels at 125 % and 150 % and some edges vanish.
void PaintEdges(QWidget& widget, const QColor& shadow, const QColor& light);

// A label as the template describes it. Its sunken frames are painted by PaintEdges, whole at
// every scale factor. With SS_PATHELLIPSIS its one line is shortened in the middle to fit;
// text() keeps the whole of it.
class Static : public QLabel {
public:
    Static(const ControlTemplate& control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Edge { None, Sunken, ClientEdge };
    Edge m_edge = Edge::None;
    bool m_pathEllipsis = false;
};

} // namespace framework
