#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/DocumentEncoding.h"

namespace velmor {

// A document file read and decoded: in the given encoding, or in the one its bytes are
// recognised as. A UTF-16 file above kMaxUtf16FileBytes is refused before it is read.
struct LoadedDocument {
    enum class Status { Loaded, Unreadable, TooLarge };
    Status status = Status::Unreadable;
    FileEncoding encoding = FileEncoding::Gbk;
    DecodedDocument decoded;
};
LoadedDocument LoadDocumentFile(const std::string& path, std::optional<FileEncoding> encoding,
                                GbkCut cut, WellFormedUtf8 utf8 = WellFormedUtf8::Converted);

// Whether a file of size bytes that starts with start is read as UTF-16 (in encoding, or by
// recognition without one) and is too large to open.
bool IsTooLargeForUtf16(std::string_view start, std::uint64_t size,
                        std::optional<FileEncoding> encoding);

}  // namespace velmor
