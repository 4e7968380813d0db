#pragma once

#include <string_view>

#include "core/CommandRegistry.h"
#include "core/DateTime.h"
#include "core/DialogFields.h"

namespace velmor {

// The actions of the batch window's tabs: each reads the window's fields, works on the
// listed files only (never on the document) and reports through messages.
void MergeFiles(DialogFields& fields, CommandContext& context);
void SplitFiles(DialogFields& fields, CommandContext& context);
void EditHeadTail(DialogFields& fields, CommandContext& context);
void ConvertFileEncodings(DialogFields& fields, CommandContext& context);

// The separator of "合并" and "拆分": CR LF, or the custom field's bytes as typed.
ByteString MergeSeparator(const DialogFields& fields);
// The merged file's name inside the output folder: the date and time without leading zeros,
// then "_合并.txt".
Text MergedFileName(DateTime now);
// The part of a path after its last separator and before the first "." of that part.
Text SplitBaseName(const Text& path);
// Calls piece(bytes) for each piece of content cut at separator, byte by byte from the left:
// empty pieces between separators kept, none after a final separator, none for no content,
// the whole content for an empty separator. Stops early when piece returns false.
template <typename PieceFunction>
void ForEachPiece(std::string_view content, std::string_view separator, PieceFunction piece) {
    if (content.empty()) {
        return;
    }
    if (separator.empty()) {
        piece(content);
        return;
    }
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t found = content.find(separator, start);
        const std::size_t end = found == std::string_view::npos ? content.size() : found;
        if (!piece(content.substr(start, end - start))) {
            return;
        }
        if (found == std::string_view::npos) {
            return;
        }
        start = found + separator.size();
    }
}

// Head/tail editing of one file's bytes.
struct HeadTailEdit {
    ByteString keyword;
    bool add = true;
    bool head = false;
    bool tail = false;
};
ByteString ApplyHeadTail(const ByteString& content, const HeadTailEdit& edit);

enum class EncodingDirection { GbkToUtf8, Utf8ToGbk };
// The converted bytes, or nothing when the content holds a sequence that cannot be converted
// or the result would pass maxBytes. A UTF-8 byte-order mark is dropped on the way to GBK and
// written on the way to UTF-8 only when asked. On the way to GBK the source may also be
// UTF-16: marked (the mark dropped), or without a mark when it holds zero bytes, in the byte
// order that makes most of them high bytes (odd offsets little-endian, even big-endian).
// progress hears of the bytes converted, a few megabytes at a time, and stops the conversion
// (nothing comes back) when it answers false.
std::optional<ByteString> ConvertEncoding(std::string_view content, EncodingDirection direction,
                                          bool writeByteOrderMark, std::uint64_t maxBytes,
                                          std::string& reason, const ByteProgress& progress = {});

}  // namespace velmor
