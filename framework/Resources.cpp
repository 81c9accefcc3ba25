#include "framework/Resources.h"

#include <map>

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

} // namespace framework
