// The application object: runs the settings window (in a folder the user chooses first, if
// asked to) and ends when it closes.
#pragma once

#include "framework/App.h"
#include "media/Graph.h"

#include <utility>

class CConfigApp : public framework::CWinApp {
public:
    // `media` chooses what the preview plays through; the program keeps the default.
    explicit CConfigApp(media::GraphOptions media = {}) : m_media(std::move(media)) {}
    BOOL InitInstance() override;

    // Asks for the game folder first and works there; cancelled, the program ends at once.
    bool m_chooseFolder = false;

private:
    media::GraphOptions m_media;
};
