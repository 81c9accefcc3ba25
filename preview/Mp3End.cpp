#include "preview/Mp3End.h"

#include "preview/GstSetup.h"
#include "preview/Pipeline.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace media {
namespace {

// A 300 s file parses in about 20 ms; this only bounds a pathological case.
constexpr GstClockTime kParseTimeout = 10 * GST_SECOND;

std::optional<std::int64_t> Fail(std::string* error, std::string reason) {
    if (error != nullptr) {
        *error = std::move(reason);
    }
    return std::nullopt;
}

// Files larger than this are left to the parser instead of being read into memory.
constexpr long kMaxScannedBytes = 64L * 1024 * 1024;

struct FrameHeader {
    int version = 0; // 1 (MPEG-1), 2 (MPEG-2) or 25 (MPEG-2.5)
    int layer = 0;
    int rate = 0;
    int channels = 0;
    int samples = 0; // per frame
    int bytes = 0;   // the whole frame, header included
};

// Decodes a 4-byte MPEG audio frame header; nullopt for anything that is not one (free
// format and reserved values included).
std::optional<FrameHeader> ReadHeader(const unsigned char* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3) {
        return std::nullopt;
    }
    static constexpr std::array<std::array<int, 15>, 5> kKbps = {{
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG-1 II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG-1 III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG-2 I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG-2 II, III
    }};
    static constexpr std::array<int, 3> kRates = {44100, 48000, 32000};
    FrameHeader header;
    header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.layer = 4 - layerBits;
    header.rate = kRates[static_cast<std::size_t>(rateIndex)] / (header.version == 1   ? 1
                                                                 : header.version == 2 ? 2
                                                                                       : 4);
    header.channels = (p[3] >> 6) == 3 ? 1 : 2;
    const std::size_t table = header.version == 1 ? static_cast<std::size_t>(header.layer - 1)
                              : header.layer == 1 ? 3
                                                  : 4;
    const int bitrate = kKbps[table][static_cast<std::size_t>(bitrateIndex)] * 1000;
    if (header.layer == 1) {
        header.samples = 384;
        header.bytes = (12 * bitrate / header.rate + padding) * 4;
    } else {
        const bool half = header.layer == 3 && header.version != 1;
        header.samples = half ? 576 : 1152;
        header.bytes = (half ? 72 : 144) * bitrate / header.rate + padding;
    }
    return header;
}

// Whether the first frame is a Xing, Info or VBRI header frame, which the parser drops and
// which may carry encoder delay and padding.
bool IsInfoFrame(const unsigned char* frame, const FrameHeader& header) {
    const int xing = 4 + (header.version == 1 ? (header.channels == 1 ? 0x11 : 0x20)
                                              : (header.channels == 1 ? 0x09 : 0x11));
    const auto tagAt = [&](int offset, const char* tag) {
        return offset + 4 <= header.bytes && std::equal(tag, tag + 4, frame + offset);
    };
    return tagAt(xing, "Xing") || tagAt(xing, "Info") || tagAt(4 + 0x20, "VBRI");
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return false;
    }
    const long size = std::ftell(file.get());
    if (size < 0 || size > kMaxScannedBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    return std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

// The end that `filesrc ! mpegaudioparse` reaches, computed from the frame headers alone for
// a plain stream: an optional ID3v2 tag, then back-to-back frames of one format without a
// Xing/Info/VBRI frame, then nothing, a cut-off frame or an ID3v1 tag. Like the parser it
// counts complete frames, each lasting samples / rate seconds rounded down to the nanosecond.
// nullopt for anything else (junk, gaps, format changes), which the parser itself handles.
std::optional<std::int64_t> PlainStreamEnd(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes)) {
        return std::nullopt;
    }
    const std::size_t size = bytes.size();
    const unsigned char* data = bytes.data();
    std::size_t at = 0;
    if (size >= 10 && std::equal(data, data + 3, "ID3")) {
        if ((data[6] | data[7] | data[8] | data[9]) & 0x80) {
            return std::nullopt;
        }
        const std::size_t tagSize = (std::size_t{data[6]} << 21) | (std::size_t{data[7]} << 14) |
                                    (std::size_t{data[8]} << 7) | std::size_t{data[9]};
        at = 10 + tagSize + ((data[5] & 0x10) ? 10 : 0);
    }
    std::optional<FrameHeader> format;
    std::int64_t end = 0;
    std::int64_t frames = 0;
    while (at + 4 <= size) {
        const std::optional<FrameHeader> header = ReadHeader(data + at);
        const bool sameFormat =
            header &&
            (!format || (header->version == format->version && header->layer == format->layer &&
                         header->rate == format->rate && header->channels == format->channels));
        if (!sameFormat) {
            break;
        }
        if (at + static_cast<std::size_t>(header->bytes) > size) {
            at = size; // a frame cut off by the end of the file is not played
            break;
        }
        if (!format) {
            if (IsInfoFrame(data + at, *header)) {
                return std::nullopt;
            }
            format = header;
        }
        end += static_cast<std::int64_t>(GST_SECOND) * header->samples / header->rate;
        ++frames;
        at += static_cast<std::size_t>(header->bytes);
    }
    const std::size_t tail = size - std::min(at, size);
    const bool cleanTail = tail < 4 || (tail == 128 && std::equal(data + at, data + at + 3, "TAG"));
    if (frames == 0 || !cleanTail) {
        return std::nullopt;
    }
    return end;
}

} // namespace

std::optional<std::int64_t> ExactMp3End(const std::string& path, std::string* error) {
    std::string reason;
    if (!EnsureGstInit(&reason)) {
        return Fail(error, reason);
    }
    if (path.empty() || path.find('\0') != std::string::npos) {
        return Fail(error, "invalid file name");
    }
    // Most files are plain streams: reading their frame headers gives the parser's answer
    // without starting a pipeline, which costs milliseconds more.
    if (const std::optional<std::int64_t> end = PlainStreamEnd(path)) {
        return end;
    }
    Pipeline pipeline = Pipeline::Create("mp3-length");
    ElementPtr source = MakeElement("filesrc");
    ElementPtr parser = MakeElement("mpegaudioparse");
    ElementPtr sink = MakeElement("fakesink");
    if (!pipeline.valid() || !source || !parser || !sink) {
        return Fail(error, "the MPEG audio parser is missing");
    }
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    g_object_set(sink.get(), "sync", FALSE, nullptr);
    gst_bin_add_many(pipeline.bin(), source.get(), parser.get(), sink.get(), nullptr);
    if (!gst_element_link_many(source.get(), parser.get(), sink.get(), nullptr)) {
        return Fail(error, "the MPEG audio parser could not be linked");
    }
    if (gst_element_set_state(pipeline.element(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        reason = pipeline.TakeError(kErrorMessageTimeout);
        return Fail(error, reason.empty() ? "the file could not be read" : reason);
    }
    const MessagePtr message(gst_bus_timed_pop_filtered(
        pipeline.bus(), kParseTimeout,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    if (!message) {
        return Fail(error, "parsing the file timed out");
    }
    if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        return Fail(error, DescribeMessage(message.get()));
    }
    gint64 end = -1;
    if (!gst_element_query_position(pipeline.element(), GST_FORMAT_TIME, &end) || end <= 0) {
        return Fail(error, "no MPEG audio frames found");
    }
    return end;
}

} // namespace media
