// Encoding and decoding of the 20-byte Config.cfg layout.
#include "settings/ConfigFormat.h"

#include <QTest>

#include <vector>

using namespace settings;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

// A record whose every value differs from anything a file could load, so that an untouched
// value is told apart from one that was assigned.
ConfigRecord Sentinel() {
    return ConfigRecord{-1001, -1002, -1003, -1004, -1005, {-1006, -1007, -1008, -1009, -1010}};
}

std::array<int, 10> Values(const ConfigRecord& r) {
    return {r.volume,        r.alwaysRandom,  r.mp3Player,     r.sound,         r.playXm,
            r.itemChance[0], r.itemChance[1], r.itemChance[2], r.itemChance[3], r.itemChance[4]};
}

Bytes FileWith(std::string_view magic, std::initializer_list<std::uint8_t> values) {
    Bytes bytes(magic.begin(), magic.end());
    for (const std::uint8_t value : values) {
        bytes.push_back(value);
    }
    return bytes;
}

Bytes ValidFile(std::initializer_list<std::uint8_t> values) {
    return FileWith(kConfigMagic, values);
}

} // namespace

class ConfigFormatTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsEncodeAsMagicAndTenZeros() {
        const ConfigBytes bytes = EncodeConfig(ConfigRecord{});
        QCOMPARE(Bytes(bytes.begin(), bytes.end()), ValidFile({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes.data()), 10), "CFG MIRT: ");
    }

    void everyValueRoundTripsThroughItsOwnByte() {
        const ConfigRecord rec{10, 1, 2, 3, 4, {50, 60, 70, 80, 255}};
        const ConfigBytes bytes = EncodeConfig(rec);
        // 10 is the raw byte 0x0A, not text and not a line ending.
        QCOMPARE(Bytes(bytes.begin(), bytes.end()),
                 ValidFile({0x0A, 1, 2, 3, 4, 50, 60, 70, 80, 255}));

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
        const Bytes file = ValidFile({200, 128, 255, 0, 1, 2, 3, 4, 5, 6, 9, 9, 9, 9});
        ConfigRecord rec = Sentinel();
        const DecodeResult result = DecodeConfig(file, rec);
        QVERIFY(result.magicMatched);
        QCOMPARE(result.valuesAssigned, std::size_t{10});
        QVERIFY((rec == ConfigRecord{200, 128, 255, 0, 1, {2, 3, 4, 5, 6}}));
    }

    void wrongMagicChangesNothing_data() {
        QTest::addColumn<Bytes>("bytes");
        const Bytes good = ValidFile({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        for (std::size_t i = 0; i < kConfigMagicSize; ++i) {
            Bytes changed = good;
            changed[i] ^= 0x01;
            QTest::addRow("byte %zu changed", i) << changed;
        }
        QTest::newRow("lower case") << FileWith("cfg mirt: ", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        QTest::newRow("missing trailing space")
            << FileWith("CFG MIRT:", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        Bytes nulInside = good;
        nulInside[3] = 0;
        QTest::newRow("NUL inside") << nulInside;
        Bytes nulLast = good;
        nulLast[9] = 0;
        QTest::newRow("NUL for the trailing space") << nulLast;
        QTest::newRow("nine bytes") << Bytes(good.begin(), good.begin() + 9);
        QTest::newRow("empty") << Bytes{};
    }
    void wrongMagicChangesNothing() {
        QFETCH(Bytes, bytes);
        ConfigRecord rec = Sentinel();
        const DecodeResult result = DecodeConfig(bytes, rec);
        QVERIFY(!result.magicMatched);
        QCOMPARE(result.valuesAssigned, std::size_t{0});
        QVERIFY(rec == Sentinel());
    }

    void shortFileAssignsOnlyTheBytesItHas() {
        const Bytes full = ValidFile({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        for (std::size_t size = kConfigMagicSize; size < kConfigSize; ++size) {
            ConfigRecord rec = Sentinel();
            const DecodeResult result = DecodeConfig(std::span(full.data(), size), rec);
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
