// The track list as the preview window uses it: the current track is shown in the window's
// track label (CTrackWindow::m_strTrack), pushed to the control with UpdateData(FALSE).
#pragma once

#include "preview/TrackCursor.h"
#include "preview/TrackWindow.h"

void PlayCurrentTrack(CTrackWindow& window);
void NextTrack(CTrackWindow& window);
void PrevTrack(CTrackWindow& window);
