#include "app/Program.h"

#include "app/FolderVariables.h"
#include "framework/App.h"
#include "media/Graph.h"
#include "res/Resources.h"

#include <chrono>

int RunProgram(const char* programPath) {
    // Before any library reads them: a relative folder variable names a folder in the game folder.
    ForgetRelativeFolderVariables();
    res::RegisterResources();
    const int status = framework::RunApplication(programPath, "org.mirtconfig.MirtConfig");
    // The preview's pipelines close in the background; give them a moment to release the sound
    // device, but never wait for one whose reads have stalled.
    media::WaitForBackgroundWork(std::chrono::milliseconds(500));
    return status;
}
