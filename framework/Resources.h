// The layer's registry of window templates and pictures. The program's resources register
// themselves at start-up; tests may add their own.
#pragma once

#include "framework/Template.h"

namespace framework {

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);
// path names an SVG file, usually in the Qt resource system (":/...").
void RegisterPicture(int id, const char* path);
const char* FindPicturePath(int id);

} // namespace framework
