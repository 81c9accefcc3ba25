// The start-up reference: a minimal Qt 6 Widgets program that shows one dialog with a list box,
// a check box and a button, of a given size, and ends on its first paint.
// Usage: mirt_bench_startup_reference [--size WxH] [--exit-after-paint MS]
#include "bench/FirstPaintExit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QStyleFactory>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    int width = 480;
    int height = 325;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "--size")
            std::sscanf(argv[i + 1], "%dx%d", &width, &height);
    }
    const int exitDelay = bench::ExitDelayFromArgs(argc, argv);

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Reference"));
    dialog.setFixedSize(width, height);
    auto* list = new QListWidget(&dialog);
    list->addItems({QStringLiteral("General"), QStringLiteral("Music"), QStringLiteral("Help")});
    list->setCurrentRow(0);
    list->setGeometry(16, 16, width / 3, height - 64);
    auto* check = new QCheckBox(QStringLiteral("Check box"), &dialog);
    check->setGeometry(width / 3 + 32, 16, width / 2, 24);
    auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
    button->setGeometry(width - 96, height - 40, 80, 24);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);

    if (exitDelay >= 0) {
        application.installEventFilter(new bench::FirstPaintExit(
            [&dialog](const QWidget& widget) { return &widget == &dialog; }, exitDelay, {}));
    }
    return dialog.exec();
}
