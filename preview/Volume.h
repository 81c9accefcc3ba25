// The preview's volume scale: slider steps of 2 dB, expressed in hundredths of a decibel like the
// platform's audio volume, and the linear amplitude the volume element takes.
#pragma once

namespace media {

// The quietest level (-100 dB) and full level (0 dB), in hundredths of a decibel.
inline constexpr long kVolumeSilent = -10000;
inline constexpr long kVolumeFull = 0;

// Step s is s * -200 hundredths of a dB, kept within [kVolumeSilent, kVolumeFull].
long StepToHundredthsDb(int step);
// 10^(v / 2000): 0 gives 1.0, -2000 gives 0.1, -4000 gives 0.01.
double HundredthsDbToLinear(long hundredthsDb);
// The inverse, rounded to the nearest hundredth and kept within the same range (silence gives
// kVolumeSilent).
long LinearToHundredthsDb(double linear);

} // namespace media
