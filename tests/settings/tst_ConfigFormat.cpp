// Encoding and decoding of the 20-byte Config.cfg layout.
#include "settings/ConfigFormat.h"
#include "support/ConfigFileBytes.h"
#include "support/SentinelRecord.h"

#include <QTest>

using namespace settings;
using testsupport::ConfigFileBytes;
using testsupport::kConfigFileMagic;
using testsupport::Sentinel;

namespace {

std::array<int, 10> Values(const ConfigRecord& r) {
    return {r.volume,        r.alwaysRandom,  r.mp3Player,     r.sound,         r.playXm,
            r.itemChance[0], r.itemChance[1], r.itemChance[2], r.itemChance[3], r.itemChance[4]};
}

// A file's bytes as the decoder takes them.
std::span<const std::uint8_t> Span(const QByteArray& file) {
    return {reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size())};
}

// What the encoder wrote, to compare with a file built by hand.
QByteArray File(const ConfigBytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

class ConfigFormatTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsEncodeAsMagicAndTenZeros() {
        const ConfigBytes bytes = EncodeConfig(ConfigRecord{});
        QCOMPARE(File(bytes), ConfigFileBytes(0, 0, 0, 0, 0));
        QCOMPARE(File(bytes).left(10), "CFG MIRT: ");
    }

    void everyValueRoundTripsThroughItsOwnByte() {
        const ConfigRecord rec{10, 1, 2, 3, 4, {50, 60, 70, 80, 255}};
        const ConfigBytes bytes = EncodeConfig(rec);
        // 10 is the raw byte 0x0A, not text and not a line ending.
        QCOMPARE(File(bytes), ConfigFileBytes(0x0A, 1, 2, 3, 4, {50, 60, 70, 80, 255}));

        ConfigRecord loaded = Sentinel();
        const DecodeResult result = DecodeConfig(bytes, loaded);
        QVERIFY(result.magicMatched);
        QCOMPARE(result.valuesAssigned, std::size_t{10});
        QVERIFY(loaded == rec);
    }

    void encodeKeepsTheLowEightBits_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("byte");
        QTest::newRow("300") << 300 << 0x2C;
        QTest::newRow("-1") << -1 << 0xFF;
        QTest::newRow("256") << 256 << 0x00;
        QTest::newRow("INT_MIN") << std::numeric_limits<int>::min() << 0x00;
    }
    void encodeKeepsTheLowEightBits() {
        QFETCH(int, value);
        QFETCH(int, byte);
        ConfigRecord rec;
        rec.sound = value;
        rec.itemChance[4] = value;
        const ConfigBytes bytes = EncodeConfig(rec);
        QCOMPARE(int(bytes[13]), byte);
        QCOMPARE(int(bytes[19]), byte);
    }

    void decodeZeroExtendsAndIgnoresBytesAfterTwenty() {
        const QByteArray file =
            ConfigFileBytes(kConfigFileMagic, {200, 128, 255, 0, 1, 2, 3, 4, 5, 6, 9, 9, 9, 9});
        ConfigRecord rec = Sentinel();
        const DecodeResult result = DecodeConfig(Span(file), rec);
        QVERIFY(result.magicMatched);
        QCOMPARE(result.valuesAssigned, std::size_t{10});
        QVERIFY((rec == ConfigRecord{200, 128, 255, 0, 1, {2, 3, 4, 5, 6}}));
    }

    void wrongMagicChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = ConfigFileBytes(1, 2, 3, 4, 5, {6, 7, 8, 9, 10});
        for (std::size_t i = 0; i < kConfigMagicSize; ++i) {
            QByteArray changed = good;
            changed[qsizetype(i)] ^= 0x01;
            QTest::addRow("byte %zu changed", i) << changed;
        }
        QTest::newRow("lower case")
            << ConfigFileBytes("cfg mirt: ", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        QTest::newRow("missing trailing space")
            << ConfigFileBytes("CFG MIRT:", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        QByteArray nulInside = good;
        nulInside[3] = 0;
        QTest::newRow("NUL inside") << nulInside;
        QByteArray nulLast = good;
        nulLast[9] = 0;
        QTest::newRow("NUL for the trailing space") << nulLast;
        QTest::newRow("nine bytes") << good.left(9);
        QTest::newRow("empty") << QByteArray();
    }
    void wrongMagicChangesNothing() {
        QFETCH(QByteArray, bytes);
        ConfigRecord rec = Sentinel();
        const DecodeResult result = DecodeConfig(Span(bytes), rec);
        QVERIFY(!result.magicMatched);
        QCOMPARE(result.valuesAssigned, std::size_t{0});
        QVERIFY(rec == Sentinel());
    }

    void shortFileAssignsOnlyTheBytesItHas() {
        const QByteArray full = ConfigFileBytes(1, 2, 3, 4, 5, {6, 7, 8, 9, 10});
        for (std::size_t size = kConfigMagicSize; size < kConfigSize; ++size) {
            ConfigRecord rec = Sentinel();
            const DecodeResult result = DecodeConfig(Span(full).first(size), rec);
            QVERIFY(result.magicMatched);
            QCOMPARE(result.valuesAssigned, size - kConfigMagicSize);
            const std::array<int, 10> values = Values(rec);
            const std::array<int, 10> sentinels = Values(Sentinel());
            for (std::size_t i = 0; i < kConfigValueCount; ++i) {
                const bool inFile = i < size - kConfigMagicSize;
                QCOMPARE(values[i], inFile ? int(i) + 1 : sentinels[i]);
            }
        }
    }
};

QTEST_APPLESS_MAIN(ConfigFormatTest)
#include "tst_ConfigFormat.moc"
