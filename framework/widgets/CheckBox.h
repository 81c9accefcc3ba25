// A check box that toggles on a click anywhere in its rectangle, as the classic control does,
// not only on its mark and text.
#pragma once

#include <QCheckBox>

namespace framework {

class CheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace framework
