// Renders an SVG picture to a square PNG, so the icon theme's bitmap sizes are drawn at build
// time from the same source as the scalable icon.
// Usage: mirt_render_icon INPUT.svg OUTPUT.png SIZE
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLargestSide = 1024;

// The picture is scaled to fit the square without changing its shape and centred in it; what
// it leaves free stays transparent.
QImage Render(QSvgRenderer& renderer, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSizeF size = renderer.defaultSize();
    size.scale(side, side, Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF((side - size.width()) / 2.0, (side - size.height()) / 2.0,
                                     size.width(), size.height()));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.svg OUTPUT.png SIZE\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const long side = std::strtol(argv[3], &end, 10);
    if (end == argv[3] || *end != '\0' || side < 1 || side > kLargestSide) {
        std::fprintf(stderr, "SIZE must be a whole number of pixels from 1 to %d\n", kLargestSide);
        return 2;
    }

    // Text in a picture needs the font database, which comes with a GUI application; the
    // offscreen platform needs no display at build time.
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char* qtArgv[] = {argv[0], platformOption, platformName, nullptr};
    int qtArgc = 3;
    QGuiApplication application(qtArgc, qtArgv);

    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid() || renderer.defaultSize().isEmpty()) {
        std::fprintf(stderr, "%s: not a picture that can be drawn\n", argv[1]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    if (!Render(renderer, static_cast<int>(side)).save(output, "PNG")) {
        std::fprintf(stderr, "%s: could not be written\n", argv[2]);
        return 1;
    }
    return 0;
}
