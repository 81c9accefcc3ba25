// The whole road a user takes: the settings window opens the item chances window, the chances
// set there reach Config.cfg when both windows are confirmed, and come back from it next time.
#include "ItemTestHelpers.h"
#include "res/SettingsControls.h"
#include "support/ConfigFileBytes.h"
#include "support/ScopedWorkingDir.h"
#include "support/SettingValues.h"
#include "support/SettingsRoad.h"
#include "support/SmallFiles.h"
#include "support/WindowTestMain.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QStyleFactory>
#include <QtTest>

#include <memory>
#include <optional>

using namespace framework::win32;

using namespace itemtest;
using testsupport::ReadFile;

namespace {

constexpr int kItemChancesButton = res::IDC_ITEM_CHANCES;
constexpr int kFirstChanceByte = 15;

QByteArray ChanceBytes(const QByteArray& config) {
    return config.size() == 20 ? config.mid(kFirstChanceByte, 5) : QByteArray();
}

} // namespace

class ItemChancesThroughSettingsTest : public QObject {
    Q_OBJECT

    std::optional<testsupport::ScopedWorkingDir> m_work;
    std::unique_ptr<testsupport::SettingsRoad> m_road;

    QString ConfigPath() const { return m_work->file(QStringLiteral("Config.cfg")); }

    // Runs the program's settings window; `inItems` drives the item chances window opened
    // from it, after which the settings window is confirmed with OK.
    void RunSettings(std::function<void(framework::CDialog&)> inItems) {
        const int result = m_road->Run([&](CSettingsDlg& settings) {
            testsupport::WhenNextDialogShows(Closing(inItems));
            Click(settings, kItemChancesButton);
            Click(settings, IDOK);
        });
        QCOMPARE(result, IDOK);
    }

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
    void init() {
        testsupport::ResetSettingValues();
        m_work.emplace();
        QVERIFY(m_work->ok());
        m_road = std::make_unique<testsupport::SettingsRoad>();
    }
    void cleanup() {
        m_road.reset();
        m_work.reset();
        QVERIFY(!testsupport::HasPendingScripts());
    }

    void chancesSetInTheWindowReachTheFile() {
        bool itemsOpened = false;
        RunSettings([&](framework::CDialog& items) {
            itemsOpened = true;
            SetByKeys(items, 0, 1);
            SetByKeys(items, 1, 2);
            SetByKeys(items, 2, 3);
            SetByKeys(items, 3, 4);
            Click(items, IDOK);
        });
        QVERIFY(itemsOpened);
        QVERIFY(m_road->boxes().withCaption("Ошибка").empty());
        QCOMPARE(ChanceBytes(ReadFile(ConfigPath())), QByteArray("\x0A\x14\x1E\x28\x00", 5));
    }

    void chancesComeBackFromTheFile() {
        QVERIFY(testsupport::WriteFile(
            ConfigPath(), testsupport::ConfigFileBytes(0, 0, 0, 0, 0, {55, 255, 0, 0, 0})));

        // First visit: the loaded values show, and a refused OK and Cancel change nothing.
        std::array<int, 5> shown{};
        RunSettings([&](framework::CDialog& items) {
            for (int row = 0; row < 5; ++row)
                shown[static_cast<std::size_t>(row)] = Slider(items, row)->value();
            Click(items, IDOK); // 5 + 10 steps: 150 %
            Click(items, IDCANCEL);
        });
        QCOMPARE(shown, (std::array<int, 5>{5, 10, 0, 0, 0}));
        const auto refused = m_road->boxes().withCaption("Ошибка");
        QCOMPARE(refused.size(), std::size_t(1));
        QCOMPARE(refused[0].text, SumMessage(150));
        QCOMPARE(ChanceBytes(ReadFile(ConfigPath())), QByteArray("\x37\xFF\x00\x00\x00", 5));

        // Second visit: mending the sum and confirming replaces them.
        testsupport::ResetSettingValues();
        RunSettings([&](framework::CDialog& items) {
            QCOMPARE(Slider(items, 1)->value(), 10);
            SetByKeys(items, 0, 0);
            Click(items, IDOK);
        });
        QCOMPARE(ChanceBytes(ReadFile(ConfigPath())), QByteArray("\x00\x64\x00\x00\x00", 5));
    }
};

WINDOW_TEST_MAIN(ItemChancesThroughSettingsTest)
#include "tst_ItemChancesThroughSettings.moc"
