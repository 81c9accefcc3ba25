#include "preview/TrackList.h"

#include <utility>

namespace {

class WindowTrackLabel : public media::TrackLabel {
public:
    explicit WindowTrackLabel(CTrackWindow& window) : m_window(window) {}
    void SetText(std::string text) override { m_window.m_strTrack = std::move(text); }
    void Show() override { m_window.UpdateData(FALSE); }

private:
    CTrackWindow& m_window;
};

} // namespace

void PlayCurrentTrack(CTrackWindow& window) {
    WindowTrackLabel label(window);
    media::PlayCurrentTrack(label);
}

void NextTrack(CTrackWindow& window) {
    WindowTrackLabel label(window);
    media::NextTrack(label);
}

void PrevTrack(CTrackWindow& window) {
    WindowTrackLabel label(window);
    media::PrevTrack(label);
}
