#include "app/ConfigApp.h"
#include "app/Program.h"

CConfigApp theApp;

int main(int /*argc*/, char** argv) {
    return RunProgram(argv[0]);
}
