#include "framework/DialogUnits.h"

#include <QFontMetrics>

#include <algorithm>

namespace framework {
namespace {

int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

} // namespace

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return {std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2),
            std::max(1, metrics.height())};
}

QFont DialogFont(int points) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points > 0 ? points : 8);
    return font;
}

int DluToPixelsX(const BaseUnits& base, int dlu) {
    return MulDiv(dlu, base.x, 4);
}
int DluToPixelsY(const BaseUnits& base, int dlu) {
    return MulDiv(dlu, base.y, 8);
}

QRect DluToPixels(const BaseUnits& base, int x, int y, int cx, int cy) {
    const int left = DluToPixelsX(base, x);
    const int top = DluToPixelsY(base, y);
    return QRect(left, top, DluToPixelsX(base, x + cx) - left, DluToPixelsY(base, y + cy) - top);
}

} // namespace framework
