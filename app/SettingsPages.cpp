#include "app/SettingsPages.h"

namespace {

constexpr int kGeneral[] = {1009};
constexpr int kMusic[] = {1006, 1008, 1021, 1004, 1007, 1005, 1022};
constexpr int kHelp[] = {1050};

} // namespace

std::span<const int> PageControls(int page) {
    switch (page) {
    case 0:
        return kGeneral;
    case 1:
        return kMusic;
    case 2:
        return kHelp;
    default:
        return {};
    }
}
