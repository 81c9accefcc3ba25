#include "app/Program.h"

#include "app/FolderVariables.h"
#include "framework/App.h"
#include "res/Resources.h"

#include <cstdio>
#include <cstdlib>

int RunProgram(const char* programPath) {
    // Before any library reads them: a relative folder variable names a folder in the game folder.
    ForgetRelativeFolderVariables();
    res::RegisterResources();
    const int status = framework::RunApplication(programPath, "org.mirtconfig.MirtConfig");
    // Config.cfg was written and synced before the settings window closed. What is left are the
    // preview's pipelines, closing in the background: one stuck in a read that never returns
    // would hold up anything that waited for it, a destructor or a library's exit handler
    // included. So the program ends here, with nothing but its standard streams flushed.
    std::fflush(nullptr);
    std::quick_exit(status);
}
