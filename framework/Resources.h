// The layer's registry of window templates and pictures. The program's resources register
// themselves at start-up; tests may add their own.
#pragma once

#include "framework/Template.h"

namespace framework {

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);
// path names an SVG file, usually in the Qt resource system (":/...").
void RegisterPicture(int id, const char* path);
const char* FindPicturePath(int id);

// A picture drawn ahead of time (at build time) for one size and scale: width x height logical
// pixels at `ratio` device pixels per logical pixel, as QImage::Format_ARGB32_Premultiplied
// words, row after row. The data must live as long as the program.
struct PrerenderedPicture {
    int id;
    int width;
    int height;
    int ratio;
    const unsigned int* pixels;
};
void RegisterPrerenderedPicture(const PrerenderedPicture& picture);
// The pre-rendered picture `id` for exactly that size and ratio; nullptr when there is none.
const PrerenderedPicture* FindPrerenderedPicture(int id, int width, int height, double ratio);

} // namespace framework
