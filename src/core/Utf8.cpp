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

// The length of the well-formed sequence at i with its value in c, or 0 when it is malformed.
int DecodeAt(std::string_view utf8, std::size_t i, char32_t& c) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int length = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
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
        return 0;
    }
    if (i + length > utf8.size()) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        return 0;
    }
    return length;
}

}  // namespace

bool DecodeUtf8(std::string_view utf8, std::vector<char32_t>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        const int length = DecodeAt(utf8, i, c);
        if (length == 0) {
            return false;
        }
        out.push_back(c);
        i += length;
    }
    return true;
}

bool IsWellFormedUtf8(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Runs of ASCII are the common case and need no decoding.
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = DecodeAt(utf8, i, c);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace velmor
