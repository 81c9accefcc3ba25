#include "support/media/TestMedia.h"

#include "media/GstHandles.h"
#include "media/GstSetup.h"

#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace testmedia {
namespace {

// Runs a gst-launch style description to its end, with the "location" of its element `named`
// set to `location`; and where the stream ended, when asked.
bool RunToEnd(const std::string& description, const char* named, const std::string& location,
              std::int64_t* end = nullptr) {
    if (!media::EnsureGstInit())
        return false;
    GError* rawError = nullptr;
    GstElement* raw = gst_parse_launch(description.c_str(), &rawError);
    const media::ErrorPtr parseError(rawError);
    if (raw == nullptr)
        return false;
    const media::ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(raw)));
    const media::ElementPtr element(gst_bin_get_by_name(GST_BIN(pipeline.get()), named));
    g_object_set(element.get(), "location", location.c_str(), nullptr);
    const media::BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const media::MessagePtr message(gst_bus_timed_pop_filtered(
        bus.get(), 120 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gint64 position = -1;
    const bool ended =
        message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS &&
        (end == nullptr ||
         (gst_element_query_position(pipeline.get(), GST_FORMAT_TIME, &position) && position > 0));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (end != nullptr)
        *end = position;
    return ended;
}

// Runs a description whose last element is `filesink name=out`. The file appears under its name
// only when complete, so an interrupted run leaves no part.
bool RunToFile(const std::string& description, const std::string& path, std::string& error) {
    const std::string partial = path + ".part";
    std::error_code ec;
    if (RunToEnd(description, "out", partial) && (std::filesystem::rename(partial, path, ec), !ec))
        return true;
    std::filesystem::remove(partial, ec);
    error = "encoding failed: " + description;
    return false;
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

bool RunTool(const std::string& program, const std::vector<std::string>& arguments,
             std::string& error) {
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QString::fromStdString(program), list);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(120000);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    error = program + " failed (is it installed? scripts/setup installs it): " +
            process.readAll().toStdString();
    return false;
}

namespace {

// Tags written with mutagen, the tagger many music programs use.
constexpr char kTagWithMutagen[] = R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, COMM
from mutagen.apev2 import APEv2
kind, path = sys.argv[1], sys.argv[2]
if kind in ("id3v23", "id3v24"):
    tag = ID3()
    tag.add(TIT2(encoding=1, text="Песня с длинным названием"))
    tag.add(TPE1(encoding=1, text="Исполнитель"))
    tag.add(COMM(encoding=1, lang="rus", desc="", text="комментарий"))
    tag.save(path, v2_version=3 if kind == "id3v23" else 4, padding=lambda info: 40000)
elif kind == "ape-id3v1":
    with open(path, "ab") as f:
        f.write(b"TAG" + b"Title".ljust(30, b"\0") + b"Artist".ljust(30, b"\0") +
                b"Album".ljust(30, b"\0") + b"2024" + b"".ljust(30, b"\0") + b"\x0c")
    ape = APEv2()
    ape["Title"] = "Track"
    ape["Comment"] = "x" * 3000
    ape.save(path)
)";

bool CopyFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                      ec);
}

} // namespace

bool MakeRealWorldShapes(const std::string& folder, std::vector<Shape>& shapes,
                         std::string& error) {
    const std::string wav = folder + "/source.wav";
    const std::string cover = folder + "/cover.png";
    if (!RunTool("sox",
                 {"-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "2", "sine", "440"},
                 error) ||
        !RunTool("ffmpeg",
                 {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                  "nullsrc=s=640x400,geq=random(1)*255:128:128", "-frames:v", "1", cover},
                 error))
        return false;
    shapes.clear();
    const auto next = [&](const std::string& name) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02zu-", shapes.size() + 1);
        std::string file = folder + "/" + prefix + name;
        for (char& c : file)
            c = c == ' ' || c == ',' ? '-' : c;
        shapes.push_back({name, file + ".mp3"});
        return shapes.back().path;
    };
    const auto lame = [&](const std::string& name, std::vector<std::string> options) {
        options.insert(options.begin(), "--quiet");
        options.push_back(wav);
        options.push_back(next(name));
        return RunTool("lame", options, error);
    };
    const auto mutagen = [&](const std::string& kind, const std::string& path) {
        return RunTool("/usr/bin/python3", {"-c", kTagWithMutagen, kind, path}, error);
    };
    const std::string plain = folder + "/plain.mp3"; // no tag, no Info frame
    const bool made =
        RunTool("lame", {"--quiet", "-t", wav, plain}, error) && lame("lame CBR", {"-b", "128"}) &&
        lame("lame VBR", {"-V", "2"}) &&
        lame("lame CBR small ID3v2 tag", {"--add-id3v2", "--tt", "Title"}) &&
        lame("lame VBR small ID3v2 tag", {"-V", "2", "--add-id3v2", "--tt", "T"}) &&
        lame("lame cover picture", {"--ti", cover, "--tt", "Cover"}) &&
        lame("lame without Info frame", {"-t"}) &&
        lame("lame MPEG-2 16 kHz", {"--resample", "16"}) &&
        lame("lame MPEG-2.5 8 kHz mono", {"--resample", "8", "-m", "m"}) &&
        RunTool(
            "ffmpeg",
            {"-loglevel", "error", "-y", "-i", wav, "-c:a", "libmp3lame", next("ffmpeg default")},
            error) &&
        RunTool("ffmpeg",
                {"-loglevel", "error", "-y", "-i", wav, "-c:a", "libmp3lame", "-id3v2_version", "3",
                 "-metadata", "title=Песня", next("ffmpeg ID3v2.3")},
                error) &&
        RunTool("twolame", {"--quiet", wav, next("twolame layer II")}, error) &&
        CopyFile(plain, next("mutagen ID3v2.3 padded UTF-16")) &&
        mutagen("id3v23", shapes.back().path) &&
        CopyFile(shapes[0].path, next("mutagen ID3v2.4 padded")) &&
        mutagen("id3v24", shapes.back().path) &&
        CopyFile(shapes[0].path, next("mutagen APEv2 and ID3v1 at the end")) &&
        mutagen("ape-id3v1", shapes.back().path) &&
        WriteBytes(next("junk before the first frame"),
                   std::string(4096, 'j') + ReadBytes(plain)) &&
        CopyFile(wav, next("WAV named mp3")) &&
        RunTool("sox", {wav, "-t", "flac", next("FLAC named mp3")}, error) &&
        RunTool("sox", {wav, "-t", "ogg", next("Ogg Vorbis named mp3")}, error);
    return made;
}

bool MakeLongMp3(const std::string& path, int minutes, int kbps, std::int64_t& end,
                 std::string& error) {
    const std::string wav = path + ".minute.wav";
    const std::string minute = path + ".minute.mp3";
    const bool piece =
        RunTool("sox",
                {"-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "60", "sine", "330"},
                error) &&
        RunTool("lame", {"--quiet", "-t", "-b", std::to_string(kbps), wav, minute}, error);
    const std::optional<std::int64_t> minuteEnd = piece ? DecoderEnd(minute) : std::nullopt;
    const std::string frames = ReadBytes(minute);
    std::error_code ec;
    std::filesystem::remove(wav, ec);
    std::filesystem::remove(minute, ec);
    if (!minuteEnd) {
        error += " (the one-minute piece could not be made)";
        return false;
    }
    // Whole frames without an Info frame or tags: the copies play back to back, and the
    // decoder's end is the piece's end as many times over.
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < minutes && file; ++i)
        file.write(frames.data(), static_cast<std::streamsize>(frames.size()));
    end = *minuteEnd * minutes;
    return static_cast<bool>(file);
}

std::optional<std::int64_t> DecoderEnd(const std::string& path) {
    std::int64_t end = -1;
    if (!RunToEnd("filesrc name=in ! decodebin ! fakesink sync=false", "in", path, &end))
        return std::nullopt;
    return end;
}

} // namespace testmedia
