// Pictures of the program's resources, drawn from their vector source at the screen's scale.
#pragma once

#include <QFrame>
#include <QPixmap>
#include <QPushButton>

namespace framework {

// Renders picture resource `id` to fit `size` (logical pixels) for a device pixel ratio.
QPixmap RenderPicture(int id, QSize size, qreal devicePixelRatio);
QIcon PictureIcon(int id);

// A static that shows a picture, optionally inside a raised border.
class PictureStatic : public QFrame {
public:
    PictureStatic(int pictureId, bool raisedBorder, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_picture;
    QPixmap m_cache;
};

// A push button that shows only a picture; it draws the default highlight while it is the
// dialog's default button.
class PictureButton : public QPushButton {
public:
    PictureButton(int pictureId, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_picture;
};

} // namespace framework
