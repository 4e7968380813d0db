#include "platform/DocumentFile.h"

#include "platform/FileBytes.h"
#include "platform/FileStart.h"

namespace velmor {

bool IsTooLargeForUtf16(std::string_view start, std::uint64_t size,
                        std::optional<FileEncoding> encoding) {
    const bool utf16 = encoding ? IsUtf16(*encoding) : IsUtf16(RecogniseEncoding(start));
    return utf16 && size > kMaxUtf16FileBytes;
}

LoadedDocument LoadDocumentFile(const std::string& path, std::optional<FileEncoding> encoding,
                                GbkCut cut, WellFormedUtf8 utf8) {
    LoadedDocument loaded;
    const std::optional<FileStart> start = ReadFileStart(path, 3);
    if (!start) {
        return loaded;
    }
    if (IsTooLargeForUtf16(start->bytes, start->size, encoding)) {
        loaded.status = LoadedDocument::Status::TooLarge;
        return loaded;
    }
    std::optional<ByteString> bytes = TryReadFileBytes(path);
    if (!bytes) {
        return loaded;
    }
    loaded.status = LoadedDocument::Status::Loaded;
    loaded.encoding = encoding.value_or(RecogniseEncoding(*bytes));
    loaded.decoded = DecodeDocument(std::move(*bytes), loaded.encoding, cut, utf8);
    return loaded;
}

}  // namespace velmor
