// Where a track really ends: the position at which the file's own decoding chain reaches the end
// of the stream, found by running that chain over the whole file. For MPEG audio the chain
// stops at the parser, which knows every frame's length (and the encoder's delay and padding)
// without decoding; other audio (WAV, FLAC, Ogg named .mp3) is decoded. The file is streamed in
// small blocks, so memory stays bounded whatever its size; a one-hour MP3 takes about a second.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace media {

// Stops a FindTrackEnd under way from another thread, at once.
class ScanCancel {
public:
    ScanCancel() = default;
    ~ScanCancel();
    ScanCancel(const ScanCancel&) = delete;
    ScanCancel& operator=(const ScanCancel&) = delete;

    void Cancel();
    bool Cancelled() const { return m_cancelled.load(); }

private:
    friend std::optional<std::int64_t> FindTrackEnd(const std::string&, const std::string&,
                                                    ScanCancel&);
    // The bus of the scan under way, woken by Cancel; false when cancelled already.
    bool Watch(GstBus* bus);
    void Unwatch();

    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    GstBus* m_bus = nullptr;
};

// Runs the chain over `path`, read with the source element `sourceFactory`, and returns the end
// in nanoseconds; nullopt when the file holds no audio or cannot be read, or when the scan is
// cancelled. Blocks until then, so it belongs on a thread of its own.
std::optional<std::int64_t> FindTrackEnd(const std::string& path, const std::string& sourceFactory,
                                         ScanCancel& cancel);

// FindTrackEnd on a thread of its own. The result arrives as an application message on `bus`,
// so it reaches whoever watches that bus in order with its other messages.
// Destroying the scan cancels it; the thread then ends in the background.
class TrackEndScan {
public:
    TrackEndScan(std::string path, std::string sourceFactory, GstBus* bus);
    ~TrackEndScan();
    TrackEndScan(const TrackEndScan&) = delete;
    TrackEndScan& operator=(const TrackEndScan&) = delete;

    // The end carried by a result message; nullopt for any other message, and for a result
    // that found no end.
    static std::optional<std::int64_t> EndFrom(GstMessage* message);
    static bool IsResult(GstMessage* message);

private:
    std::shared_ptr<ScanCancel> m_cancel;
};

} // namespace media
