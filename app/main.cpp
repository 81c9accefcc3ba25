#include "app/CommandLine.h"
#include "app/ConfigApp.h"
#include "app/Program.h"

CConfigApp theApp;

int main(int argc, char** argv) {
    if (const std::optional<int> status = FollowCommandLine(argc, argv, theApp.m_chooseFolder))
        return *status;
    return RunProgram(argv[0]);
}
