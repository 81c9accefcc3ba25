// The application object: runs the settings window and ends when it closes.
#pragma once

#include "framework/App.h"

class CConfigApp : public framework::CWinApp {
public:
    BOOL InitInstance() override;
};
