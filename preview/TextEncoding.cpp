#include "preview/TextEncoding.h"

#include <QString>
#include <QStringDecoder>
#include <QUtf8StringView>

namespace media {

std::string DisplayName(std::string_view bytes) {
    const QByteArrayView raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (QUtf8StringView(raw).isValidUtf8())
        return std::string(bytes);
    // Qt's CP1251 (ICU's) passes 0x98, the one byte that code page leaves undefined, through as
    // U+0098; such a name is no CP1251 text.
    QStringDecoder cp1251("windows-1251");
    QString text = cp1251.isValid() ? cp1251(raw) : QString();
    if (text.isEmpty() || cp1251.hasError() || text.contains(QChar(0x98)))
        text = QString::fromUtf8(raw); // a U+FFFD for each byte that is not UTF-8
    return text.toStdString();
}

} // namespace media
