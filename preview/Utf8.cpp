#include "preview/Utf8.h"

namespace media {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Length of the sequence a lead byte starts (0 for a byte that cannot start one) and the range
// allowed for the byte after it, which rules out overlongs, surrogates and values past U+10FFFF.
struct Lead {
    int length;
    unsigned char secondMin;
    unsigned char secondMax;
};

Lead ClassifyLead(unsigned char c) {
    if (c < 0x80) {
        return {1, 0, 0};
    }
    if (c >= 0xC2 && c <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (c == 0xE0) {
        return {3, 0xA0, 0xBF};
    }
    if (c == 0xED) {
        return {3, 0x80, 0x9F};
    }
    if (c >= 0xE1 && c <= 0xEF) {
        return {3, 0x80, 0xBF};
    }
    if (c == 0xF0) {
        return {4, 0x90, 0xBF};
    }
    if (c >= 0xF1 && c <= 0xF3) {
        return {4, 0x80, 0xBF};
    }
    if (c == 0xF4) {
        return {4, 0x80, 0x8F};
    }
    return {0, 0, 0};
}

} // namespace

std::string ToValidUtf8(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
        const Lead lead = ClassifyLead(byteAt(i));
        if (lead.length == 1) {
            text += bytes[i++];
            continue;
        }
        // Count how many bytes of the sequence are well formed; on a mismatch the well-formed
        // prefix is replaced as one unit and the mismatching byte is looked at afresh.
        std::size_t valid = lead.length == 0 ? 0 : 1;
        while (valid > 0 && valid < static_cast<std::size_t>(lead.length) &&
               i + valid < bytes.size()) {
            const unsigned char c = byteAt(i + valid);
            const unsigned char low = valid == 1 ? lead.secondMin : 0x80;
            const unsigned char high = valid == 1 ? lead.secondMax : 0xBF;
            if (c < low || c > high) {
                break;
            }
            ++valid;
        }
        if (lead.length > 0 && valid == static_cast<std::size_t>(lead.length)) {
            text.append(bytes, i, valid);
            i += valid;
        } else {
            text += kReplacement;
            i += valid == 0 ? 1 : valid;
        }
    }
    return text;
}

} // namespace media
