#include "framework/Resources.h"

#include <map>
#include <vector>

namespace framework {
namespace {

std::map<int, const DialogTemplate*>& Templates() {
    static std::map<int, const DialogTemplate*> templates;
    return templates;
}

std::map<int, const char*>& Pictures() {
    static std::map<int, const char*> pictures;
    return pictures;
}

std::vector<PrerenderedPicture>& Prerendered() {
    static std::vector<PrerenderedPicture> pictures;
    return pictures;
}

} // namespace

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    Templates()[dialogTemplate.id] = &dialogTemplate;
}

const DialogTemplate* FindDialogTemplate(int id) {
    const auto it = Templates().find(id);
    return it == Templates().end() ? nullptr : it->second;
}

void RegisterPicture(int id, const char* path) {
    Pictures()[id] = path;
}

const char* FindPicturePath(int id) {
    const auto it = Pictures().find(id);
    return it == Pictures().end() ? nullptr : it->second;
}

void RegisterPrerenderedPicture(const PrerenderedPicture& picture) {
    Prerendered().push_back(picture);
}

const PrerenderedPicture* FindPrerenderedPicture(int id, int width, int height, double ratio) {
    for (const PrerenderedPicture& picture : Prerendered()) {
        if (picture.id == id && picture.width == width && picture.height == height &&
            picture.ratio == ratio)
            return &picture;
    }
    return nullptr;
}

} // namespace framework
