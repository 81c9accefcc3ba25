#include "app/ConfigApp.h"
#include "res/Resources.h"

CConfigApp theApp;

int main(int /*argc*/, char** argv) {
    res::RegisterResources();
    return framework::RunApplication(argv[0], "org.mirtconfig.MirtConfig");
}
