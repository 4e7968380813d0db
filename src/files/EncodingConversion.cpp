#include <algorithm>

#include "core/CodePage936.h"
#include "core/DocumentEncoding.h"
#include "core/ParallelPieces.h"
#include "core/Services.h"
#include "core/Utf8.h"
#include "files/FileCommands.h"
#include "files/FileReport.h"

namespace velmor {

namespace {

constexpr const char* kList = "列表框3";
constexpr const char* kTitle = "编码转换";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A bound on the UTF-8 length of GBK bytes: two-byte characters grow by half, the one-byte
// euro sign 0x80 to three bytes.
std::uint64_t Utf8LengthBound(std::string_view gbk) {
    const auto euros = static_cast<std::uint64_t>(std::count(gbk.begin(), gbk.end(), '\x80'));
    return gbk.size() + gbk.size() / 2 + 2 * euros + kByteOrderMark.size();
}

// Converts content piece by piece onto out, cut after line feeds (a line feed starts no
// sequence of either encoding, so each piece converts as it does within the whole), each
// piece as much as the encoders take on every core at once; progress hears of each. convert
// appends one piece's result and returns false when the piece cannot be converted.
template <typename Convert>
bool ConvertPieces(std::string_view content, const ByteProgress& progress, ByteString& out,
                   Convert convert) {
    const PieceSplit cores = DefaultPieceSplit();
    const std::size_t step = std::max(cores.pieces * cores.minBytes, std::size_t{1} << 20);
    std::size_t begin = 0;
    for (const std::size_t end : LineFeedPieceEnds(content, {content.size() / step + 1, step})) {
        if (!convert(content.substr(begin, end - begin), out) ||
            (progress && !progress(end - begin))) {
            return false;
        }
        begin = end;
    }
    return true;
}

// The UTF-16 a source to convert to GBK is in: by its mark, as a file opens. Without one,
// only a file holding zero bytes (which no UTF-8 or GBK text does) is UTF-16, in the order
// that puts most of them in the high byte of a unit: ASCII, line ends included, has a zero
// high byte, and far outnumbers characters such as 一 (U+4E00) with a zero low byte.
std::optional<FileEncoding> Utf16Source(std::string_view content) {
    if (const FileEncoding marked = RecogniseEncoding(content.substr(0, 2)); IsUtf16(marked)) {
        return marked;
    }
    if (content.size() % 2 != 0) {
        return std::nullopt;
    }
    std::size_t evenZeros = 0;
    std::size_t oddZeros = 0;
    for (std::size_t i = 0; i < content.size(); i += 2) {
        evenZeros += content[i] == '\0' ? 1 : 0;
        oddZeros += content[i + 1] == '\0' ? 1 : 0;
    }
    if (evenZeros == oddZeros) {
        return std::nullopt;
    }
    return oddZeros > evenZeros ? FileEncoding::Utf16Le : FileEncoding::Utf16Be;
}

}  // namespace

std::optional<ByteString> ConvertEncoding(std::string_view content, EncodingDirection direction,
                                          bool writeByteOrderMark, std::uint64_t maxBytes,
                                          std::string& reason, const ByteProgress& progress) {
    ByteString converted;
    bool whole = false;
    if (direction == EncodingDirection::Utf8ToGbk) {
        if (const std::optional<FileEncoding> wide = Utf16Source(content)) {
            // A code unit gives at most four GBK bytes for its two.
            if (2 * static_cast<std::uint64_t>(content.size()) > maxBytes) {
                reason = "文件太大，文件未改动";
                return std::nullopt;
            }
            DecodedDocument decoded = DecodeDocument(ByteString(content), *wide, GbkCut::Opened);
            if (decoded.cut || decoded.keptUndecodable) {
                reason = "含有不是 UTF-16 的内容，文件未改动";
                return std::nullopt;
            }
            return std::move(decoded.text);
        }
        if (content.starts_with(kByteOrderMark)) {
            content.remove_prefix(kByteOrderMark.size());
        }
        // A two-byte UTF-8 character may need a four-byte GB18030 code.
        if (2 * static_cast<std::uint64_t>(content.size()) > maxBytes) {
            reason = "文件太大，文件未改动";
            return std::nullopt;
        }
        converted.reserve(content.size());
        whole = ConvertPieces(content, progress, converted, [&](std::string_view piece, Text& out) {
            if (!IsWellFormedUtf8(piece)) {
                reason = "含有不是 UTF-8 的字节，文件未改动";
                return false;
            }
            Utf8ToGbkPartInParallel(piece, true, out);
            return true;
        });
    } else {
        const std::uint64_t bound = Utf8LengthBound(content);
        if (bound > maxBytes) {
            reason = "文件太大，文件未改动";
            return std::nullopt;
        }
        converted.reserve(static_cast<std::size_t>(bound));
        if (writeByteOrderMark) {
            converted += kByteOrderMark;
        }
        // The conversion keeps bytes that start no character as they are, which leaves the
        // result malformed exactly when the input held such bytes.
        whole = ConvertPieces(
            content, progress, converted, [&](std::string_view piece, ByteString& out) {
                const std::size_t start = out.size();
                GbkToUtf8PiecesInParallel(piece, [&out](std::string_view part) { out += part; });
                if (!IsWellFormedUtf8(std::string_view(out).substr(start))) {
                    reason = "含有不是 GBK 的字节，文件未改动";
                    return false;
                }
                return true;
            });
    }
    if (!whole) {
        if (reason.empty()) {
            reason = "已取消，文件未改动";
        }
        return std::nullopt;
    }
    return converted;
}

void ConvertFileEncodings(DialogFields& fields, CommandContext& context) {
    const TextList& items = fields.At(kList).items;
    if (items.empty()) {
        context.editor.ShowMessage(MessageKind::Information, "未添加需要转换编码的文件！",
                                   kInformationTitle);
        return;
    }
    if (context.services.files == nullptr) {
        return;
    }
    FileSystem& files = *context.services.files;
    const EncodingDirection direction = fields.IsChecked("单选框_到GBK")
                                            ? EncodingDirection::Utf8ToGbk
                                            : EncodingDirection::GbkToUtf8;
    const bool byteOrderMark = fields.IsChecked("选择框_BOM");
    const bool backup = fields.IsChecked("选择框_备份3");

    FileReport report;
    std::size_t done = 0;
    // Read, converted, backed up, written.
    const unsigned passes = backup ? 4 : 3;
    const bool whole = ForEachListedFile(
        context, kTitle, items, passes, report,
        [&](const Text& item, FileProgress& progress) {
            const FileSystem::ReadResult read =
                files.Read(FileSystemPath(item), kMaxFileBytes, progress.Bytes());
            if (progress.Cancelled()) {
                return report.Untouched(item);
            }
            if (!read.bytes) {
                report.Fail(item, read.reason);
                return true;
            }
            std::string reason;
            const std::optional<ByteString> converted = ConvertEncoding(
                *read.bytes, direction, byteOrderMark, kMaxFileBytes, reason, progress.Bytes());
            if (progress.Cancelled()) {
                return report.Untouched(item);
            }
            if (!converted) {
                report.Fail(item, reason);
                return true;
            }
            return SaveListedFile(files, item, *converted, backup, progress, report);
        },
        &done);
    report.Show(context, whole ? "编码转换完成！" : CancelledRunText(kTitle, done));
}

}  // namespace velmor
