#include "preview/TrackOrder.h"

#include "preview/TextEncoding.h"

#include <QChar>
#include <QString>

namespace media {

std::u16string TrackOrderKey(std::string_view name) {
    std::u16string key;
    key.reserve(name.size());
    // Most names are plain ASCII: those are upper-cased byte by byte.
    std::size_t at = 0;
    for (; at < name.size() && static_cast<unsigned char>(name[at]) < 0x80; ++at) {
        const char c = name[at];
        key += static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    if (at == name.size())
        return key;
    key.clear();
    const std::string shown = DisplayName(name);
    const QString text = QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
    for (const QChar unit : text)
        key +=
            static_cast<char16_t>(unit.isSurrogate() ? unit.unicode() : unit.toUpper().unicode());
    return key;
}

bool TrackOrderLess(const std::string& a, const std::string& b) {
    return TrackOrderLess(TrackOrderKey(a), a, TrackOrderKey(b), b);
}

bool TrackOrderLess(const std::u16string& keyA, const std::string& a, const std::u16string& keyB,
                    const std::string& b) {
    const int order = keyA.compare(keyB);
    return order != 0 ? order < 0 : a < b;
}

} // namespace media
