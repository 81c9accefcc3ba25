// A small copy of the settings window: one dialog of the settings window's size, in the Fusion
// style, with a list of the program's three page names, a check box and a button, all in Russian
// like the program, ending on its first paint. What any Qt window with this program's kind of
// content pays (Cyrillic text costs a font fallback search and glyphs of its own); the start-up
// comparison that is held to a target.
// Usage: mirt_bench_startup_settings_copy [--size WxH] [--exit-after-paint MS]
//
// Built a second time with MIRT_REFERENCE_MEDIA as mirt_bench_startup_settings_copy_media, the
// floor for memory with a media graph: right after its first paint the dialog starts GStreamer,
// builds `filesrc ! decodebin ! audioconvert ! audioresample ! volume ! autoaudiosink` for the
// file of --track PATH and prerolls it, waiting on its own thread as simply as it can.
#include "bench/CommandLine.h"
#include "bench/FirstPaintExit.h"
#include "res/Texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QStyleFactory>

#include <string_view>

#ifdef MIRT_REFERENCE_MEDIA
#include <QTimer>

#include "bench/ReferencePipeline.h"

#include <gst/gst.h>

namespace {

// Kept until the process ends, like the program's graph.
void BuildAndPreroll(const char* track) {
    gst_init(nullptr, nullptr);
    GstElement* pipeline = bench::MakeReferencePipeline(track, "autoaudiosink");
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND);
}

} // namespace
#endif

int main(int argc, char** argv) {
    const auto [width, height] = bench::SizeFromArgs(argc, argv);
    const int exitDelay = bench::ExitDelayFromArgs(argc, argv);
#ifdef MIRT_REFERENCE_MEDIA
    const char* track = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "--track")
            track = argv[i + 1];
    }
#endif

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Reference"));
    dialog.setFixedSize(width, height);
    auto* list = new QListWidget(&dialog);
    list->addItems({QString::fromUtf8(res::kPageGeneral), QString::fromUtf8(res::kPageMusic),
                    QString::fromUtf8(res::kPageHelp)});
    list->setCurrentRow(0);
    list->setGeometry(16, 16, width / 3, height - 64);
    auto* check = new QCheckBox(QStringLiteral("Всегда случайно"), &dialog);
    check->setGeometry(width / 3 + 32, 16, width / 2, 24);
    auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
    button->setGeometry(width - 96, height - 40, 80, 24);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);

    if (exitDelay >= 0) {
        application.installEventFilter(new bench::FirstPaintExit(
            [&](const QWidget& widget) {
                if (&widget != &dialog)
                    return false;
#ifdef MIRT_REFERENCE_MEDIA
                if (track != nullptr)
                    QTimer::singleShot(0, &dialog, [track] { BuildAndPreroll(track); });
#endif
                return true;
            },
            exitDelay, {}));
    }
    return dialog.exec();
}
