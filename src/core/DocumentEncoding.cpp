#include "core/DocumentEncoding.h"

#include <cstdint>

#include "core/CodePage936.h"
#include "core/DocumentLoading.h"
#include "core/LargeText.h"
#include "core/MainEditor.h"
#include "core/Utf8.h"

namespace velmor {

namespace {

// An undecodable UTF-16 unit travels in the text as the four bytes 81+v/64, FF, 81+v%64, FF,
// with v = unit − D800 for a lone surrogate and v = 0x800 + byte for the odd last byte. A
// lead byte followed by FF starts no character, and FF never does, so GBK (and the editor's
// UTF-8, which carries such bytes unchanged) keeps the four as raw bytes.
constexpr unsigned kMarkLeadBase = 0x81;
constexpr unsigned char kMarkPad = 0xFF;
constexpr unsigned kMarkLowSpan = 64;
constexpr unsigned kOddByteMark = 0x800;
constexpr unsigned kMarkCount = kOddByteMark + 0x100;

char* PutMark(char* out, unsigned value) {
    out[0] = static_cast<char>(kMarkLeadBase + value / kMarkLowSpan);
    out[1] = static_cast<char>(kMarkPad);
    out[2] = static_cast<char>(kMarkLeadBase + value % kMarkLowSpan);
    out[3] = static_cast<char>(kMarkPad);
    return out + 4;
}

// The value of the mark at p, or kMarkCount when there is none.
unsigned MarkAt(const unsigned char* p, const unsigned char* end) {
    if (end - p < 4 || p[1] != kMarkPad || p[3] != kMarkPad || p[0] < kMarkLeadBase ||
        p[2] < kMarkLeadBase || p[2] - kMarkLeadBase >= kMarkLowSpan) {
        return kMarkCount;
    }
    const unsigned value = (p[0] - kMarkLeadBase) * kMarkLowSpan + (p[2] - kMarkLeadBase);
    return value < kMarkCount ? value : kMarkCount;
}

constexpr std::size_t kUnitsPerStep = 16 * 1024;

DecodedDocument DecodeUtf16(std::string_view bytes, bool bigEndian) {
    DecodedDocument decoded;
    ReserveLargeText(decoded.text, bytes.size(), bytes.size() / 2);
    const auto* const data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [data, bigEndian](std::size_t i) -> char32_t {
        const unsigned char first = data[2 * i];
        const unsigned char second = data[2 * i + 1];
        return bigEndian ? char32_t(first) << 8 | second : char32_t(second) << 8 | first;
    };
    // Four bytes per unit at most, for a four-byte code or a mark.
    char buffer[4 * (kUnitsPerStep + 2)];
    std::size_t i = 0;
    while (i < units && !decoded.cut) {
        char* out = buffer;
        const std::size_t stop = std::min(units, i + kUnitsPerStep);
        while (i < stop) {
            const char32_t unit = unitAt(i++);
            if (unit == 0) {
                decoded.cut = true;
                break;
            }
            if (unit < 0x80) {
                *out++ = static_cast<char>(unit);
            } else if (unit < 0xD800 || unit > 0xDFFF) {
                out = PutCodePoint(out, unit);
            } else if (unit < 0xDC00 && i < units && unitAt(i) >= 0xDC00 && unitAt(i) <= 0xDFFF) {
                out = PutCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i++) - 0xDC00));
            } else {
                out = PutMark(out, unit - 0xD800);
                decoded.keptUndecodable = true;
            }
        }
        decoded.text.append(buffer, static_cast<std::size_t>(out - buffer));
    }
    if (!decoded.cut && bytes.size() % 2 != 0) {
        char* out = PutMark(buffer, kOddByteMark + data[bytes.size() - 1]);
        decoded.text.append(buffer, static_cast<std::size_t>(out - buffer));
        decoded.keptUndecodable = true;
    }
    return decoded;
}

// Appends the UTF-16 units of the UTF-8 (with its raw bytes and marks, as GbkToUtf8 gives
// it) to out and returns how many bytes were used; unless last, up to three bytes at the end
// may be left for the next part. Clears ok at a byte that is neither (and then stops).
std::size_t AppendUtf16(std::string_view utf8, bool last, bool bigEndian, ByteString& out,
                        bool& ok) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = begin + utf8.size();
    const auto* const stop = last ? end : (utf8.size() > 3 ? end - 3 : begin);
    char buffer[2 * 4096 + 4];
    char* put = buffer;
    const auto unit = [&put, bigEndian](char32_t value) {
        put[bigEndian ? 0 : 1] = static_cast<char>(value >> 8);
        put[bigEndian ? 1 : 0] = static_cast<char>(value & 0xFF);
        put += 2;
    };
    const auto* p = begin;
    while (p < stop) {
        if (put - buffer >= 2 * 4096 - 4) {
            out.append(buffer, static_cast<std::size_t>(put - buffer));
            put = buffer;
        }
        const Utf8Item item = ReadUtf8Item(p, end);
        if (item.wellFormed) {
            if (item.codePoint < 0x10000) {
                unit(item.codePoint);
            } else {
                unit(0xD800 + ((item.codePoint - 0x10000) >> 10));
                unit(0xDC00 + ((item.codePoint - 0x10000) & 0x3FF));
            }
            p += item.length;
            continue;
        }
        const unsigned mark = MarkAt(p, end);
        if (mark < kOddByteMark) {
            unit(0xD800 + mark);
        } else if (mark < kMarkCount && p + 4 == end) {
            // The odd byte only ever ends the file; anywhere else it would shift every unit.
            if (!last) {
                break;
            }
            *put++ = static_cast<char>(mark - kOddByteMark);
        } else {
            ok = false;
            break;
        }
        p += 4;
    }
    out.append(buffer, static_cast<std::size_t>(put - buffer));
    return static_cast<std::size_t>(p - begin);
}

std::optional<ByteString> EncodeUtf16(std::string_view text, FileEncoding encoding) {
    const bool bigEndian = encoding == FileEncoding::Utf16Be;
    ByteString out(ByteOrderMark(encoding));
    ReserveLargeText(out, 2 + 2 * text.size(), text.size());
    std::string pending;
    bool ok = true;
    GbkToUtf8Pieces(text, [&](std::string_view piece) {
        if (!ok) {
            return;
        }
        pending += piece;
        pending.erase(0, AppendUtf16(pending, false, bigEndian, out, ok));
    });
    if (ok) {
        AppendUtf16(pending, true, bigEndian, out, ok);
    }
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

bool IsUtf16(FileEncoding encoding) {
    return encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be;
}

DecodedDocument DecodeDocument(ByteString bytes, FileEncoding encoding, GbkCut cut,
                               WellFormedUtf8 utf8Form) {
    DecodedDocument decoded;
    const std::string_view mark = ByteOrderMark(encoding);
    const std::size_t skip = std::string_view(bytes).starts_with(mark) ? mark.size() : 0;
    switch (encoding) {
        case FileEncoding::Gbk: {
            const std::size_t size = bytes.size();
            decoded.text = cut == GbkCut::Opened ? CutOpenedFileBytes(std::move(bytes))
                                                 : CutDroppedFileBytes(std::move(bytes));
            decoded.cut = decoded.text.size() < size;
            return decoded;
        }
        case FileEncoding::Utf8:
        case FileEncoding::Utf8Bom: {
            std::string_view utf8 = std::string_view(bytes).substr(skip);
            if (const std::size_t zero = utf8.find('\0'); zero != std::string_view::npos) {
                utf8 = utf8.substr(0, zero);
                decoded.cut = true;
            }
            if (utf8Form == WellFormedUtf8::Kept && IsWellFormedUtf8(utf8)) {
                decoded.utf8Start = skip;
                decoded.utf8Length = utf8.size();
                decoded.fileBytes = std::move(bytes);
                return decoded;
            }
            decoded.text = Utf8ToGbk(utf8);
            return decoded;
        }
        case FileEncoding::Utf16Le:
        case FileEncoding::Utf16Be:
            return DecodeUtf16(std::string_view(bytes).substr(skip),
                               encoding == FileEncoding::Utf16Be);
    }
    return decoded;
}

void ReplaceWithDecoded(MainEditor& editor, DecodedDocument& decoded) {
    if (decoded.fileBytes) {
        editor.ReplaceTextWithUtf8(
            std::string_view(*decoded.fileBytes).substr(decoded.utf8Start, decoded.utf8Length));
        decoded.fileBytes.reset();
    } else {
        editor.ReplaceText(std::move(decoded.text));
    }
}

std::optional<ByteString> EncodeDocument(std::string_view text, FileEncoding encoding) {
    if (encoding == FileEncoding::Gbk) {
        return ByteString(text);
    }
    if (IsUtf16(encoding)) {
        return EncodeUtf16(text, encoding);
    }
    const std::string_view mark = ByteOrderMark(encoding);
    ByteString out(mark);
    ReserveLargeText(out, mark.size() + text.size() + text.size() / 2, text.size());
    GbkToUtf8Pieces(text, [&out](std::string_view piece) { out += piece; });
    // A byte GbkToUtf8 passes through raw never forms a UTF-8 character with its neighbours.
    if (!IsWellFormedUtf8(std::string_view(out).substr(mark.size()))) {
        return std::nullopt;
    }
    return out;
}

bool CanEncodeDocument(std::string_view text, FileEncoding encoding) {
    if (encoding == FileEncoding::Gbk) {
        return true;
    }
    if (IsUtf16(encoding)) {
        return EncodeUtf16(text, encoding).has_value();
    }
    bool whole = true;
    GbkToUtf8Pieces(text,
                    [&whole](std::string_view piece) { whole = whole && IsWellFormedUtf8(piece); });
    return whole;
}

}  // namespace velmor
