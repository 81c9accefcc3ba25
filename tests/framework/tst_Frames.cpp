// The frames of the program's windows show all four edges at the scale factor the test runs at:
// CTest runs it at 100, 125, 150 and 200 % (QT_SCALE_FACTOR), the factors of desktops on
// laptops and HiDPI screens, at which Fusion's own panel frames lose edges.
#include "framework/DialogUnits.h"
#include "framework/Resources.h"
#include "res/Resources.h"
#include "support/ScriptedRun.h"
#include "support/WindowTestMain.h"

#include <QtTest>

#include <cmath>

using namespace framework::win32;

namespace {

bool HasFrame(const framework::ControlTemplate& control) {
    return (control.kind == framework::ControlKind::Static &&
            ((control.style & SS_SUNKEN) || (control.exStyle & WS_EX_CLIENTEDGE))) ||
           (control.kind == framework::ControlKind::ListBox && (control.style & WS_BORDER));
}

// Whether one of the first three device-pixel lines from an edge inward differs from both the
// window's colour and the inside's along nearly all of its length: `line(i, j)` is the colour of
// pixel j of line i.
template <class Pixel>
bool EdgeShows(int length, QRgb window, QRgb inside, Pixel line) {
    for (int i = 0; i < 3; ++i) {
        int drawn = 0;
        for (int j = 0; j < length; ++j)
            drawn += line(i, j) != window && line(i, j) != inside;
        if (drawn >= length * 9 / 10)
            return true;
    }
    return false;
}

} // namespace

class FramesTest : public QObject {
    Q_OBJECT
private slots:
    void everyFrameShowsItsFourEdges_data() {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("control"); // index in the template
        for (int id : {res::IDD_SETTINGS, res::IDD_MP3_OPTIONS, res::IDD_ITEM_CHANCE}) {
            const framework::DialogTemplate* window = framework::FindDialogTemplate(id);
            for (int i = 0; i < int(window->controls.size()); ++i) {
                if (HasFrame(window->controls[i]))
                    QTest::addRow("%s, control %d", window->caption, i) << id << i;
            }
        }
    }
    void everyFrameShowsItsFourEdges() {
        QFETCH(int, dialog);
        QFETCH(int, control);
        const framework::ControlTemplate& frame =
            framework::FindDialogTemplate(dialog)->controls[control];
        QImage image;
        QRect rect;
        framework::CDialog host(dialog);
        testsupport::RunScripted(host, [&](framework::CDialog& w) {
            rect = framework::DluToPixels(framework::BaseUnitsOf(w.Host()->font()), frame.x,
                                          frame.y, frame.cx, frame.cy);
            image = w.Host()->grab().toImage();
            w.EndDialog(IDCANCEL);
        });
        const qreal ratio = image.devicePixelRatio();
        QCOMPARE(ratio, qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                            ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                            : 1.0);
        // The device pixels the control covers, without the corners.
        const int left = int(std::floor(rect.left() * ratio));
        const int top = int(std::floor(rect.top() * ratio));
        const int right = int(std::ceil((rect.right() + 1) * ratio)) - 1;
        const int bottom = int(std::ceil((rect.bottom() + 1) * ratio)) - 1;
        const int width = right - left - 7;
        const int height = bottom - top - 7;
        const QRgb window = image.pixel(left - 2, top - 2);
        const QRgb inside = image.pixel((left + right) / 2, bottom - 4);
        const auto pixel = [&](int x, int y) { return image.pixel(x, y); };
        QVERIFY(EdgeShows(width, window, inside,
                          [&](int i, int j) { return pixel(left + 4 + j, top + i); }));
        QVERIFY(EdgeShows(width, window, inside,
                          [&](int i, int j) { return pixel(left + 4 + j, bottom - i); }));
        QVERIFY(EdgeShows(height, window, inside,
                          [&](int i, int j) { return pixel(left + i, top + 4 + j); }));
        QVERIFY(EdgeShows(height, window, inside,
                          [&](int i, int j) { return pixel(right - i, top + 4 + j); }));
    }
};

WINDOW_TEST_MAIN(FramesTest)
#include "tst_Frames.moc"
