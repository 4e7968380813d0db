#pragma once

#include <optional>
#include <string_view>

namespace velmor {

// The encodings a document file is read and written in. The text itself stays GBK: a file in
// another encoding is converted on the way in and out.
enum class FileEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

inline constexpr FileEncoding kFileEncodings[] = {FileEncoding::Gbk, FileEncoding::Utf8,
                                                  FileEncoding::Utf8Bom, FileEncoding::Utf16Le,
                                                  FileEncoding::Utf16Be};

// The name shown in the caption and the file dialogs: "GBK", "UTF-8", "UTF-8 BOM", …
const char* EncodingName(FileEncoding encoding);
// The name velmor-text takes: gbk, utf-8, utf-8-bom, utf-16le, utf-16be.
const char* EncodingOptionName(FileEncoding encoding);
std::optional<FileEncoding> EncodingOfOptionName(std::string_view name);

// The mark a file in the encoding starts with (empty for GBK and UTF-8).
std::string_view ByteOrderMark(FileEncoding encoding);

// The encoding of a file's bytes: by its byte-order mark; else UTF-8 when every byte is
// strictly valid UTF-8 and at least one is 0x80 or above; else GBK (pure ASCII included).
FileEncoding RecogniseEncoding(std::string_view bytes);

}  // namespace velmor
