// What the tests' previews play through: a fakesink, so no sound device is ever touched. An
// unsynchronised one takes a whole file at once; a synchronised one plays in real time.
#pragma once

#include "media/Graph.h"

namespace testsupport {

inline media::GraphOptions QuietPreview(bool realTime = false) {
    return media::GraphOptions{"fakesink", realTime};
}

} // namespace testsupport
