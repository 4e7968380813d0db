#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "core/FileEncoding.h"
#include "core/Text.h"

namespace velmor {

// How a GBK file's bytes are cut: as Open reads them (at the first 0x00 or 0x1A outside a
// character) or as a dropped file is read (at the first 0x00).
enum class GbkCut { Opened, Dropped };

class MainEditor;

// What DecodeDocument makes of well-formed UTF-8: its GBK text, or the UTF-8 as it is, for an
// editor that keeps UTF-8 to take without a conversion there and back.
enum class WellFormedUtf8 { Converted, Kept };

struct DecodedDocument {
    // Empty where the UTF-8 was kept.
    Text text;
    // The file's bytes, of which [utf8Start, utf8Start + utf8Length) is the UTF-8 kept in place
    // of text (the mark, and any zero byte with what follows it, left out).
    std::optional<ByteString> fileBytes;
    std::size_t utf8Start = 0;
    std::size_t utf8Length = 0;
    // Loading stopped early: at the cut of GBK, at the first U+0000 of the other encodings
    // (the text holds no zero byte).
    bool cut = false;
    // A UTF-16 file held lone surrogates or an odd last byte, kept as undecodable-unit marks.
    bool keptUndecodable = false;
};

// The document text a file's bytes in encoding give, its mark (if it has one) dropped. UTF-8
// that is not valid keeps its stray bytes as they are. Each undecodable UTF-16 unit (a lone
// surrogate, or the odd last byte) becomes a four-byte mark that GBK reads as raw bytes and
// no character ever encodes to, and that EncodeDocument turns back into the very unit.
DecodedDocument DecodeDocument(ByteString bytes, FileEncoding encoding, GbkCut cut,
                               WellFormedUtf8 utf8 = WellFormedUtf8::Converted);

// Makes the decoded text the editor's whole text (one ReplaceText), the kept UTF-8 through
// ReplaceTextWithUtf8; the text or bytes are moved out of decoded.
void ReplaceWithDecoded(MainEditor& editor, DecodedDocument& decoded);

// The file bytes of a text in encoding, with its mark; nullopt when the text holds bytes the
// encoding cannot hold (bytes that start no character, other than UTF-16 unit marks for the
// UTF-16 encodings). GBK holds every text as it is.
std::optional<ByteString> EncodeDocument(std::string_view text, FileEncoding encoding);

// Whether EncodeDocument would give bytes, without building them.
bool CanEncodeDocument(std::string_view text, FileEncoding encoding);

// UTF-16 files above this size are refused: their text and the editor's buffer would take
// several times as much memory.
inline constexpr std::size_t kMaxUtf16FileBytes = std::size_t{1} << 30;

bool IsUtf16(FileEncoding encoding);

}  // namespace velmor
