// The application object: runs the settings window and ends when it closes.
#pragma once

#include "framework/App.h"
#include "media/Graph.h"

#include <utility>

class CConfigApp : public framework::CWinApp {
public:
    // `media` chooses what the preview plays through; the program keeps the default.
    explicit CConfigApp(media::GraphOptions media = {}) : m_media(std::move(media)) {}
    BOOL InitInstance() override;

private:
    media::GraphOptions m_media;
};
