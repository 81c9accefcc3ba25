#include "res/Resources.h"

#include "framework/Resources.h"

namespace res {

void RegisterSources() {
    framework::RegisterDialogTemplate(kSettingsTemplate);
    framework::RegisterDialogTemplate(kMp3OptionsTemplate);
    framework::RegisterDialogTemplate(kItemChanceTemplate);

    framework::RegisterPicture(IDR_MAINFRAME, ":/res/pictures/icon128.svg");
    framework::RegisterPicture(IDB_BANNER, ":/res/pictures/banner130.svg");
    framework::RegisterPicture(IDB_ITEM_FIRST + 0, ":/res/pictures/item138-lightning.svg");
    framework::RegisterPicture(IDB_ITEM_FIRST + 1, ":/res/pictures/item139-web.svg");
    framework::RegisterPicture(IDB_ITEM_FIRST + 2, ":/res/pictures/item140-hand.svg");
    framework::RegisterPicture(IDB_ITEM_FIRST + 3, ":/res/pictures/item141-arrow-down.svg");
    framework::RegisterPicture(IDB_ITEM_FIRST + 4, ":/res/pictures/item142-arrow-up.svg");
    framework::RegisterPicture(IDB_PLAY, ":/res/pictures/play.svg");
    framework::RegisterPicture(IDB_STOP, ":/res/pictures/stop.svg");
    framework::RegisterPicture(IDB_PREVIOUS, ":/res/pictures/previous.svg");
    framework::RegisterPicture(IDB_NEXT, ":/res/pictures/next.svg");
}

} // namespace res
