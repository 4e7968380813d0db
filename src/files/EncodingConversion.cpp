#include <algorithm>

#include "core/CodePage936.h"
#include "core/DocumentEncoding.h"
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
                                          std::string& reason) {
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
        if (!IsWellFormedUtf8(content)) {
            reason = "含有不是 UTF-8 的字节，文件未改动";
            return std::nullopt;
        }
        // A two-byte UTF-8 character may need a four-byte GB18030 code.
        if (2 * static_cast<std::uint64_t>(content.size()) > maxBytes) {
            reason = "文件太大，文件未改动";
            return std::nullopt;
        }
        return Utf8ToGbk(content);
    }
    if (Utf8LengthBound(content) > maxBytes) {
        reason = "文件太大，文件未改动";
        return std::nullopt;
    }
    // The conversion keeps bytes that start no character as they are, which leaves the
    // result malformed exactly when the input held such bytes.
    ByteString utf8 = writeByteOrderMark ? ByteString(kByteOrderMark) : ByteString();
    utf8 += GbkToUtf8(content);
    if (!IsWellFormedUtf8(utf8)) {
        reason = "含有不是 GBK 的字节，文件未改动";
        return std::nullopt;
    }
    return utf8;
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
    const bool whole = ForEachListedFile(
        context, kTitle, items, report,
        [&](const Text& item, FileProgress& progress) {
            const std::string path = FileSystemPath(item);
            const FileSystem::ReadResult read = files.Read(path, kMaxFileBytes);
            if (!read.bytes) {
                report.Fail(item, read.reason);
                return true;
            }
            if (!progress.Add(read.bytes->size())) {
                report.Fail(item, std::string(kCancelledReason) + "，文件未改动");
                return false;
            }
            std::string reason;
            const std::optional<ByteString> converted =
                ConvertEncoding(*read.bytes, direction, byteOrderMark, kMaxFileBytes, reason);
            if (!converted) {
                report.Fail(item, reason);
                return true;
            }
            if (backup) {
                if (reason = files.Copy(path, path + ".bak"); !reason.empty()) {
                    report.Fail(item, "备份失败（" + reason + "），文件未改动");
                    return true;
                }
            }
            if (reason = files.Save(path, *converted); !reason.empty()) {
                report.Fail(item, reason);
            }
            return true;
        },
        &done);
    report.Show(context, whole ? "编码转换完成！" : CancelledRunText(kTitle, done));
}

}  // namespace velmor
