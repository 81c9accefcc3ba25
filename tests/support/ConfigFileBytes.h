// The 20 bytes of a Config.cfg, written out by hand from the ten values (so that a test does not
// depend on the encoder it may be testing).
#pragma once

#include <QByteArray>

#include <array>

namespace testsupport {

inline QByteArray ConfigFileBytes(int volume, int random, int mp3, int sound, int xm,
                                  std::array<int, 5> items = {}) {
    QByteArray bytes("CFG MIRT: ");
    for (int v : {volume, random, mp3, sound, xm})
        bytes.append(static_cast<char>(v));
    for (int v : items)
        bytes.append(static_cast<char>(v));
    return bytes;
}

} // namespace testsupport
