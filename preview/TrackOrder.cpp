#include "preview/TrackOrder.h"

#include "preview/TextEncoding.h"

#include <QChar>
#include <QString>

#include <algorithm>

namespace media {

namespace {

char16_t UpperAscii(char c) {
    return static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

} // namespace

std::u16string TrackOrderKey(std::string_view name) {
    if (std::all_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return {};
    const std::string shown = DisplayName(name);
    std::u16string key;
    for (const QChar unit : QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())))
        key +=
            static_cast<char16_t>(unit.isSurrogate() ? unit.unicode() : unit.toUpper().unicode());
    return key;
}

bool TrackOrderLess(const std::string& a, const std::string& b) {
    return TrackOrderLess(TrackOrderKey(a), a, TrackOrderKey(b), b);
}

bool TrackOrderLess(const std::u16string& keyA, const std::string& a, const std::u16string& keyB,
                    const std::string& b) {
    const std::size_t lengthA = keyA.empty() ? a.size() : keyA.size();
    const std::size_t lengthB = keyB.empty() ? b.size() : keyB.size();
    for (std::size_t i = 0; i < lengthA && i < lengthB; ++i) {
        const char16_t x = keyA.empty() ? UpperAscii(a[i]) : keyA[i];
        const char16_t y = keyB.empty() ? UpperAscii(b[i]) : keyB[i];
        if (x != y)
            return x < y;
    }
    return lengthA != lengthB ? lengthA < lengthB : a < b;
}

} // namespace media
