#include "core/Utf8.h"

namespace velmor {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

Utf8Item ReadUtf8Item(const unsigned char* p, const unsigned char* end) {
    const unsigned char b = *p;
    const std::ptrdiff_t left = end - p;
    if (b < 0x80) {
        return {b, 1, true};
    }
    if (b >= 0xC2 && b <= 0xDF && left >= 2 && IsContinuation(p[1])) {
        return {static_cast<char32_t>((b & 0x1F) << 6 | (p[1] & 0x3F)), 2, true};
    }
    if (b >= 0xE0 && b <= 0xEF && left >= 3) {
        const unsigned char low = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : 0xBF;
        if (p[1] >= low && p[1] <= high && IsContinuation(p[2])) {
            return {static_cast<char32_t>((b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F)), 3,
                    true};
        }
    }
    if (b >= 0xF0 && b <= 0xF4 && left >= 4) {
        const unsigned char low = b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xF4 ? 0x8F : 0xBF;
        if (p[1] >= low && p[1] <= high && IsContinuation(p[2]) && IsContinuation(p[3])) {
            return {static_cast<char32_t>((b & 0x07) << 18 | (p[1] & 0x3F) << 12 |
                                          (p[2] & 0x3F) << 6 | (p[3] & 0x3F)),
                    4, true};
        }
    }
    return {b, 1, false};
}

bool DecodeUtf8(std::string_view utf8, std::vector<char32_t>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            c = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > utf8.size()) {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            return false;
        }
        out.push_back(c);
        i += length;
    }
    return true;
}

}  // namespace velmor
