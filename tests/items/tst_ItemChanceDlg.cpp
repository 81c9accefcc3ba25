// The item chances window driven through its real widgets: what it shows when it opens, which
// sums OK accepts and what Cancel keeps. Its keys are the trackbar's (tst_DialogLayer), its tab
// order is checked in tst_Accessibility, and its road to Config.cfg in tst_TypicalRoad.
#include "items/ItemChanceDlg.h"
#include "res/ItemChanceControls.h"
#include "settings/GameSettings.h"
#include "support/GuiHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/ScriptedRun.h"
#include "support/SettingValues.h"
#include "support/WindowTestMain.h"

#include <QLabel>
#include <QSlider>
#include <QtTest>

#include <algorithm>
#include <array>
#include <memory>

using namespace framework::win32;

using testsupport::Click;
using testsupport::Control;
using testsupport::MessageBoxRecorder;
using testsupport::RunScripted;
using Chances = std::array<int, 5>;
Q_DECLARE_METATYPE(Chances)

namespace {

QSlider* Slider(framework::CDialog& window, int row) {
    return testsupport::ControlAs<QSlider>(window, res::kChanceSliders[row]);
}

void SetByKeys(framework::CDialog& window, int row, int pos) {
    testsupport::MoveSliderByKeys(window, res::kChanceSliders[row], pos);
}

// The message a refused OK shows for a given sum in percent.
std::string SumMessage(int percent) {
    return "Вероятность появления для всех предметов \n в сумме должна равняться 100%! "
           "Сейчас: " +
           std::to_string(percent) + "%";
}

void SetChances(const Chances& values) {
    std::copy(values.begin(), values.end(), g_nItemChance);
}

Chances StoredChances() {
    Chances values{};
    std::copy(std::begin(g_nItemChance), std::end(g_nItemChance), values.begin());
    return values;
}

Chances Positions(framework::CDialog& window) {
    Chances positions{};
    for (int row = 0; row < 5; ++row) {
        QSlider* slider = Slider(window, row);
        positions[static_cast<std::size_t>(row)] = slider ? slider->value() : -1;
    }
    return positions;
}

QStringList PercentTexts(framework::CDialog& window) {
    QStringList texts;
    for (int id : res::kChanceLabels)
        texts << testsupport::ControlAs<QLabel>(window, id)->text();
    return texts;
}

// The black frame that marked a slider's place, found by its shape since the slider has
// taken over its number.
QLabel* FrameUnder(framework::CDialog& window, const QWidget* slider) {
    for (auto* label : window.Host()->findChildren<QLabel*>()) {
        if (label->frameShape() == QFrame::Box && label->geometry() == slider->geometry())
            return label;
    }
    return nullptr;
}

} // namespace

class ItemChanceDlgTest : public QObject {
    Q_OBJECT

    // Every test answers the message boxes it causes; none ever blocks on one.
    std::unique_ptr<MessageBoxRecorder> m_boxes;

private slots:
    void init() {
        testsupport::ResetSettingValues();
        m_boxes = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup() {
        m_boxes.reset();
        QVERIFY(!testsupport::HasPendingScripts());
    }

    // The sliders lie over their black frames, top to bottom, answer to the frames' numbers and
    // start at the stored chances in tens, rounded down and limited to the range; the percent
    // labels start empty (the template's "50%" is replaced) and stay so.
    void opensWithTheStoredChances_data() {
        QTest::addColumn<Chances>("stored");
        QTest::addColumn<Chances>("positions");
        QTest::newRow("all zero") << Chances{0, 0, 0, 0, 0} << Chances{0, 0, 0, 0, 0};
        QTest::newRow("whole tens") << Chances{100, 0, 30, 50, 20} << Chances{10, 0, 3, 5, 2};
        QTest::newRow("tens rounded down") << Chances{55, 9, 19, 99, 1} << Chances{5, 0, 1, 9, 0};
        QTest::newRow("beyond the range") << Chances{255, 110, 0, 0, 0} << Chances{10, 10, 0, 0, 0};
    }
    void opensWithTheStoredChances() {
        QFETCH(Chances, stored);
        QFETCH(Chances, positions);
        SetChances(stored);
        CItemChanceDlg dialog;
        QCOMPARE(RunScripted(dialog,
                             [&](framework::CDialog& w) {
                                 QCOMPARE(Positions(w), positions);
                                 QCOMPARE(PercentTexts(w), QStringList(5, QString()));
                                 int previousTop = -1;
                                 for (int row = 0; row < 5; ++row) {
                                     QSlider* slider = Slider(w, row);
                                     QCOMPARE(slider->orientation(), Qt::Horizontal);
                                     QCOMPARE(slider->maximum(), 10);
                                     QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
                                     QCOMPARE(slider->accessibleName(),
                                              QStringLiteral("Предмет %1").arg(row + 1));
                                     QVERIFY(slider->geometry().top() > previousTop);
                                     previousTop = slider->geometry().top();
                                     QLabel* frame = FrameUnder(w, slider);
                                     QVERIFY2(frame != nullptr, "no black frame under the slider");
                                     const QObjectList& stack = w.Host()->children();
                                     QVERIFY(stack.indexOf(slider) > stack.indexOf(frame));
                                 }
                                 Click(w, IDCANCEL);
                             }),
                 IDCANCEL);
        QCOMPARE(StoredChances(), stored);
    }

    // OK stores the chances only when they add up to exactly 100 %; otherwise it says so and
    // the window stays open with the old chances stored, to be mended or cancelled.
    void okStoresOnlyAHundredPercent_data() {
        QTest::addColumn<Chances>("positions");
        QTest::addColumn<int>("percent");
        QTest::newRow("even") << Chances{2, 2, 2, 2, 2} << 100;
        QTest::newRow("last only") << Chances{0, 0, 0, 0, 10} << 100;
        QTest::newRow("uneven") << Chances{3, 3, 2, 1, 1} << 100;
        QTest::newRow("none") << Chances{0, 0, 0, 0, 0} << 0;
        QTest::newRow("110") << Chances{3, 3, 3, 1, 1} << 110;
        QTest::newRow("90") << Chances{9, 0, 0, 0, 0} << 90;
        QTest::newRow("every slider full") << Chances{10, 10, 10, 10, 10} << 500;
        QTest::newRow("one short") << Chances{2, 2, 2, 2, 1} << 90;
    }
    void okStoresOnlyAHundredPercent() {
        QFETCH(Chances, positions);
        QFETCH(int, percent);
        const Chances before{10, 20, 30, 40, 0};
        SetChances(before);
        CItemChanceDlg dialog;
        const int result = RunScripted(dialog, [&](framework::CDialog& w) {
            for (int row = 0; row < 5; ++row)
                SetByKeys(w, row, positions[static_cast<std::size_t>(row)]);
            Click(w, IDOK);
            if (percent == 100)
                return;
            QVERIFY(w.Host()->isVisible());
            QCOMPARE(Positions(w), positions);
            QCOMPARE(StoredChances(), before);
            QCOMPARE(PercentTexts(w), QStringList(5, QString()));
            QCOMPARE(
                QList<std::string>(std::begin(dialog.m_strChance), std::end(dialog.m_strChance)),
                QList<std::string>(5));
            Click(w, IDCANCEL);
        });
        const bool taken = percent == 100;
        QCOMPARE(result, taken ? IDOK : IDCANCEL);
        QCOMPARE(m_boxes->lines(),
                 taken ? QStringList()
                       : QStringList(QString::fromStdString("Ошибка|" + SumMessage(percent))));
        Chances stored = before;
        if (taken)
            std::transform(positions.begin(), positions.end(), stored.begin(),
                           [](int pos) { return pos * 10; });
        QCOMPARE(StoredChances(), stored);
    }

    void aRefusedOkCanBeMendedAndRetried() {
        SetChances({50, 50, 0, 0, 0});
        CItemChanceDlg dialog;
        QCOMPARE(RunScripted(dialog,
                             [&](framework::CDialog& w) {
                                 SetByKeys(w, 4, 1);
                                 Click(w, IDOK);
                                 QCOMPARE(StoredChances(), (Chances{50, 50, 0, 0, 0}));
                                 SetByKeys(w, 0, 4);
                                 Click(w, IDOK);
                             }),
                 IDOK);
        QCOMPARE(m_boxes->lines(),
                 QStringList(QString::fromStdString("Ошибка|" + SumMessage(110))));
        QCOMPARE(StoredChances(), (Chances{40, 50, 0, 0, 10}));
    }
};

WINDOW_TEST_MAIN(ItemChanceDlgTest)
#include "tst_ItemChanceDlg.moc"
