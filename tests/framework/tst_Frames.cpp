// The frames of the program's windows show all four edges at the scale factor the test runs at:
// CTest runs it at 100, 125, 150 and 200 % (QT_SCALE_FACTOR), the factors of desktops on
// laptops and HiDPI screens, at which Fusion's own panel frames lose edges.
#include "framework/DialogUnits.h"
#include "framework/Resources.h"
#include "res/Resources.h"
#include "support/ScriptedRun.h"
#include "support/WindowTestMain.h"

#include <QtTest>

using namespace framework::win32;

class FramesTest : public QObject {
    Q_OBJECT
private slots:
    void everyFrameShowsItsFourEdges_data() {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("control"); // index in the template
        for (int id : {res::IDD_SETTINGS, res::IDD_MP3_OPTIONS, res::IDD_ITEM_CHANCE}) {
            const framework::DialogTemplate* window = framework::FindDialogTemplate(id);
            for (int i = 0; i < int(window->controls.size()); ++i) {
                const framework::ControlTemplate& c = window->controls[i];
                if ((c.style & (SS_SUNKEN | WS_BORDER)) ||
                    (c.exStyle & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME)) ||
                    c.kind == framework::ControlKind::GroupBox)
                    QTest::addRow("%s, control %d", window->caption, i) << id << i;
            }
        }
    }
    void everyFrameShowsItsFourEdges() {
        QFETCH(int, dialog);
        QFETCH(int, control);
        const framework::ControlTemplate& c =
            framework::FindDialogTemplate(dialog)->controls[control];
        QImage image;
        QRect rect;
        framework::CDialog host(dialog);
        testsupport::RunScripted(host, [&](framework::CDialog& w) {
            rect = framework::DluToPixels(framework::BaseUnitsOf(w.Host()->font()), c.x, c.y, c.cx,
                                          c.cy);
            image = w.Host()->grab().toImage();
            w.EndDialog(IDCANCEL);
        });
        const qreal ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        QCOMPARE(image.devicePixelRatio(), ratio);
        // The device pixels the control covers; its edges are looked for in the three outer
        // lines on each side, without the corners.
        const QRect device(QPoint(int(rect.left() * ratio), int(rect.top() * ratio)),
                           QPoint(int(std::ceil((rect.right() + 1) * ratio)) - 1,
                                  int(std::ceil((rect.bottom() + 1) * ratio)) - 1));
        const QRgb window = image.pixel(device.topLeft() - QPoint(2, 2));
        const QRgb inside = image.pixel(device.center().x(), device.bottom() - 4);
        const struct {
            QPoint start, along, inward;
            int length;
        } edges[] = {{device.topLeft() + QPoint(4, 0), {1, 0}, {0, 1}, device.width() - 8},
                     {device.bottomLeft() + QPoint(4, 0), {1, 0}, {0, -1}, device.width() - 8},
                     {device.topLeft() + QPoint(0, 4), {0, 1}, {1, 0}, device.height() - 8},
                     {device.topRight() + QPoint(0, 4), {0, 1}, {-1, 0}, device.height() - 8}};
        for (const auto& edge : edges) {
            int mostDrawn = 0; // of the three lines, along how much of its length one is drawn
            for (int line = 0; line < 3; ++line) {
                int drawn = 0;
                for (int i = 0; i < edge.length; ++i) {
                    const QRgb pixel =
                        image.pixel(edge.start + line * edge.inward + i * edge.along);
                    drawn += pixel != window && pixel != inside;
                }
                mostDrawn = std::max(mostDrawn, drawn);
            }
            QVERIFY2(
                mostDrawn >= edge.length * 9 / 10,
                qPrintable(
                    QStringLiteral("the edge at %1,%2").arg(edge.start.x()).arg(edge.start.y())));
        }
    }
};

WINDOW_TEST_MAIN(FramesTest)
#include "tst_Frames.moc"
