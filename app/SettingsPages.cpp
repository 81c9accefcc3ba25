#include "app/SettingsPages.h"

#include "res/SettingsControls.h"

namespace {

using namespace res;

constexpr int kGeneral[] = {IDC_ITEM_CHANCES};
constexpr int kMusic[] = {IDC_XM_OPTIONS, IDC_SOUND_OPTIONS, IDC_PLAY_XM,   IDC_MP3_PLAYER,
                          IDC_SOUND,      IDC_MP3_OPTIONS,   IDC_MUSIC_NOTE};
constexpr int kHelp[] = {IDC_HELP_TEXT};

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
