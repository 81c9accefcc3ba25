// The start-up floor: a dialog of the settings window's size, in the Fusion style, that shows
// one Russian label and ends on its first paint. What a Qt window costs with next to no content;
// beside the settings-window copy it shows how much the content itself costs.
// Usage: mirt_bench_startup_floor [--size WxH] [--exit-after-paint MS]
#include "bench/CommandLine.h"
#include "bench/FirstPaintExit.h"
#include "res/Texts.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStyleFactory>

int main(int argc, char** argv) {
    const auto [width, height] = bench::SizeFromArgs(argc, argv);
    const int exitDelay = bench::ExitDelayFromArgs(argc, argv);

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Reference"));
    dialog.setFixedSize(width, height);
    auto* label = new QLabel(QString::fromUtf8(res::kPageGeneral), &dialog);
    label->setGeometry(16, 16, width - 32, 24);

    if (exitDelay >= 0) {
        application.installEventFilter(new bench::FirstPaintExit(
            [&](const QWidget& widget) { return &widget == &dialog; }, exitDelay, {}));
    }
    return dialog.exec();
}
