#include "res/Resources.h"

namespace res {

void RegisterResources() {
    RegisterSources();
    RegisterPrerenderedPictures();
}

} // namespace res
