// Pictures of the program's resources, drawn from their vector source at the screen's scale.
#pragma once

#include <QFrame>
#include <QPixmap>
#include <QPushButton>

namespace framework {

// Picture resource `id` fitted into `size` (logical pixels) for a device pixel ratio: the
// pre-rendered pixels when there are some for exactly that size and ratio, else drawn from
// its vector source.
QPixmap RenderPicture(int id, QSize size, qreal devicePixelRatio);
// The same, always drawn from the vector source (what the pre-rendered pixels are made of).
QPixmap DrawPicture(int id, QSize size, qreal devicePixelRatio);
QIcon PictureIcon(int id);

// The sizes and ratios a window icon is made of: 16 and 32 pixels, and 32 at twice the scale.
struct IconRendition {
    int side;
    qreal ratio;
};
inline constexpr IconRendition kIconRenditions[] = {{16, 1.0}, {32, 1.0}, {32, 2.0}};

// A static that shows a picture, optionally inside a raised border.
class PictureStatic : public QFrame {
public:
    PictureStatic(int pictureId, bool raisedBorder, QWidget* parent);

    int pictureId() const { return m_picture; }
    // The logical size the picture is drawn at.
    QSize pictureSize() const { return contentsRect().size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_picture;
};

// A push button that shows only a picture; it draws the default highlight while it is the
// dialog's default button.
class PictureButton : public QPushButton {
public:
    PictureButton(int pictureId, QWidget* parent);

    int pictureId() const { return m_picture; }
    // Where the picture is drawn (the button less its bevel), and its logical size.
    QRect pictureRect() const { return rect().adjusted(2, 2, -2, -2); }
    QSize pictureSize() const { return pictureRect().size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_picture;
};

} // namespace framework
