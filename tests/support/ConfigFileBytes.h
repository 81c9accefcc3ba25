// The bytes of a Config.cfg written out by hand (so that a test does not depend on the encoder
// it may be testing): a magic, then one byte a value, its low eight bits.
#pragma once

#include "settings/ConfigFormat.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <initializer_list>

namespace testsupport {

inline constexpr char kConfigFileMagic[] = "CFG MIRT: ";

// `magic` and a byte for each of `values`: a file of any magic and length.
inline QByteArray ConfigFileBytes(QByteArrayView magic, std::initializer_list<int> values) {
    QByteArray bytes = magic.toByteArray();
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

// The 20 bytes of a whole file holding these ten values.
inline QByteArray ConfigFileBytes(int volume, int random, int mp3, int sound, int xm,
                                  std::array<int, 5> items = {}) {
    return ConfigFileBytes(kConfigFileMagic, {volume, random, mp3, sound, xm, items[0], items[1],
                                              items[2], items[3], items[4]});
}

inline QByteArray ConfigFileBytes(const settings::ConfigRecord& rec) {
    const int* items = rec.itemChance;
    return ConfigFileBytes(rec.volume, rec.alwaysRandom, rec.mp3Player, rec.sound, rec.playXm,
                           {items[0], items[1], items[2], items[3], items[4]});
}

} // namespace testsupport
