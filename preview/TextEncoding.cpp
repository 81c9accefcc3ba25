#include "preview/TextEncoding.h"

#include <array>

namespace media {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kUndefined = 0xFFFF; // for 0x98, the one byte CP1251 leaves undefined

// CP1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::array<char32_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A,     0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C,     0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, kUndefined, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408,     0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE,     0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116,     0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t FromCp1251(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return 0x0410 + (byte - 0xC0);
    return kCp1251High[byte - 0x80];
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        if (!NextCodePoint(bytes, at))
            return false;
    }
    return true;
}

} // namespace

std::optional<char32_t> NextCodePoint(std::string_view bytes, std::size_t& at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    // Length and the allowed range of the second byte, which rules out overlong forms,
    // surrogates and values past U+10FFFF.
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + static_cast<std::size_t>(length) > bytes.size() || byte(at + 1) < low ||
        byte(at + 1) > high) {
        ++at;
        return std::nullopt;
    }
    char32_t value = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(at + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80) {
            ++at;
            return std::nullopt;
        }
        value = (value << 6) | (next & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return value;
}

void AppendUtf8(std::string& text, char32_t c) {
    const auto put = [&](unsigned value) { text += static_cast<char>(value); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

std::string DisplayName(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() * 2);
    bool cp1251 = true;
    for (const char c : bytes) {
        const char32_t decoded = FromCp1251(static_cast<unsigned char>(c));
        if (decoded == kUndefined) {
            cp1251 = false;
            break;
        }
        AppendUtf8(text, decoded);
    }
    if (cp1251)
        return text;
    text.clear();
    for (std::size_t at = 0; at < bytes.size();)
        AppendUtf8(text, NextCodePoint(bytes, at).value_or(kReplacement));
    return text;
}

} // namespace media
