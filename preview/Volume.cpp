#include "preview/Volume.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace media {

long StepToHundredthsDb(int step) {
    const std::int64_t value = static_cast<std::int64_t>(step) * -200;
    return static_cast<long>(std::clamp<std::int64_t>(value, kVolumeSilent, kVolumeFull));
}

double HundredthsDbToLinear(long hundredthsDb) {
    const long clamped = std::clamp(hundredthsDb, kVolumeSilent, kVolumeFull);
    return std::pow(10.0, static_cast<double>(clamped) / 2000.0);
}

long LinearToHundredthsDb(double linear) {
    if (!(linear > 0.0)) { // also catches NaN
        return kVolumeSilent;
    }
    const double value = std::round(2000.0 * std::log10(linear));
    return static_cast<long>(
        std::clamp(value, static_cast<double>(kVolumeSilent), static_cast<double>(kVolumeFull)));
}

} // namespace media
