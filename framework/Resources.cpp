#include "framework/Resources.h"

#include <algorithm>
#include <map>
#include <vector>

namespace framework {
namespace {

struct Registry {
    std::map<int, const DialogTemplate*> templates;
    std::map<int, const char*> pictures;
    std::vector<PrerenderedPicture> prerendered;
};

Registry& Registered() {
    static Registry registry;
    return registry;
}

template <class Map>
typename Map::mapped_type Find(const Map& map, int id) {
    const auto it = map.find(id);
    return it == map.end() ? nullptr : it->second;
}

} // namespace

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    Registered().templates[dialogTemplate.id] = &dialogTemplate;
}

const DialogTemplate* FindDialogTemplate(int id) {
    return Find(Registered().templates, id);
}

void RegisterPicture(int id, const char* path) {
    Registered().pictures[id] = path;
}

const char* FindPicturePath(int id) {
    return Find(Registered().pictures, id);
}

void RegisterPrerenderedPicture(const PrerenderedPicture& picture) {
    Registered().prerendered.push_back(picture);
}

const PrerenderedPicture* FindPrerenderedPicture(int id, int width, int height, double ratio) {
    const auto& all = Registered().prerendered;
    const auto it = std::find_if(all.begin(), all.end(), [&](const PrerenderedPicture& picture) {
        return picture.id == id && picture.width == width && picture.height == height &&
               picture.ratio == ratio;
    });
    return it == all.end() ? nullptr : &*it;
}

} // namespace framework
