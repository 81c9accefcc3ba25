// A text static of a window template.
#pragma once

#include "framework/Template.h"

#include <QLabel>

namespace framework {

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
