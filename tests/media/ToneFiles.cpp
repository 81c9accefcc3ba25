#include "ToneFiles.h"

#include "preview/GstHandles.h"
#include "preview/GstSetup.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace testmedia {
namespace {

// Runs a gst-launch style description whose last element is `filesink name=out` to its end.
// The file appears under its name only when complete, so an interrupted run leaves no part.
bool RunToFile(const std::string& description, const std::string& path, std::string& error) {
    if (!media::EnsureGstInit(&error)) {
        return false;
    }
    GError* rawError = nullptr;
    GstElement* raw = gst_parse_launch(description.c_str(), &rawError);
    const media::ErrorPtr parseError(rawError);
    if (raw == nullptr) {
        error = parseError ? parseError->message : "cannot parse " + description;
        return false;
    }
    const media::ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(raw)));
    const media::ElementPtr out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    const std::string partial = path + ".part";
    g_object_set(out.get(), "location", partial.c_str(), nullptr);
    const media::BusPtr bus(gst_element_get_bus(pipeline.get()));
    bool ok = gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (ok) {
        const media::MessagePtr message(gst_bus_timed_pop_filtered(
            bus.get(), 120 * GST_SECOND,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
        ok = message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    std::error_code ec;
    if (ok)
        std::filesystem::rename(partial, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(partial, ec);
        error = "encoding failed: " + description;
        return false;
    }
    return true;
}

std::string ToneSource(int seconds, double frequency) {
    std::ostringstream text;
    text << "audiotestsrc num-buffers=" << seconds << " samplesperbuffer=44100 freq=" << frequency
         << " ! audio/x-raw,rate=44100,channels=2 ! ";
    return text.str();
}

} // namespace

bool MakeMp3(const std::string& path, int seconds, Encoding encoding, std::string& error,
             double frequency) {
    std::string encoder = "lamemp3enc";
    if (encoding == Encoding::Cbr) {
        encoder += " target=bitrate bitrate=128 cbr=true";
    } else if (encoding == Encoding::VbrXing) {
        encoder += " ! xingmux";
    }
    return RunToFile(ToneSource(seconds, frequency) + encoder + " ! filesink name=out", path,
                     error);
}

bool MakeWav(const std::string& path, int seconds, std::string& error) {
    return RunToFile(ToneSource(seconds, 330.0) + "wavenc ! filesink name=out", path, error);
}

bool MakePng(const std::string& path, std::string& error) {
    return RunToFile("videotestsrc num-buffers=1 ! video/x-raw,width=64,height=64 ! pngenc ! "
                     "filesink name=out",
                     path, error);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace testmedia
