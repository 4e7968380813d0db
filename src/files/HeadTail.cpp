#include <algorithm>

#include "core/Services.h"
#include "files/FileCommands.h"
#include "files/FileReport.h"

namespace velmor {

namespace {

constexpr const char* kList = "列表框2";
constexpr const char* kTitle = "增/删 文件头/尾";

const char* FirstFailedCheck(const DialogFields& fields) {
    if (fields.At(kList).items.empty()) {
        return "未添加需要 增删文件头尾的文件！";
    }
    if (!fields.IsChecked("选择框_头") && !fields.IsChecked("选择框_尾")) {
        return "需要增删 文件头，还是尾？";
    }
    if (fields.TextOf("编辑框_关键字").empty()) {
        return "未填写需要增删的文本！";
    }
    return nullptr;
}

}  // namespace

ByteString ApplyHeadTail(const ByteString& content, const HeadTailEdit& edit) {
    const ByteString& k = edit.keyword;
    const std::string_view view(content);
    if (edit.add) {
        ByteString result;
        result.reserve(content.size() + 2 * k.size());
        if (edit.head) {
            result += k;
        }
        result += content;
        if (edit.tail) {
            result += k;
        }
        return result;
    }
    std::string_view kept = view;
    if (edit.head && kept.starts_with(k)) {
        kept.remove_prefix(k.size());
    }
    if (edit.tail && kept.ends_with(k)) {
        kept.remove_suffix(k.size());
    }
    return ByteString(kept);
}

void EditHeadTail(DialogFields& fields, CommandContext& context) {
    if (const char* problem = FirstFailedCheck(fields)) {
        context.editor.ShowMessage(MessageKind::Information, problem, kInformationTitle);
        return;
    }
    if (context.services.files == nullptr) {
        return;
    }
    FileSystem& files = *context.services.files;
    const TextList& items = fields.At(kList).items;
    HeadTailEdit edit;
    edit.keyword = fields.TextOf("编辑框_关键字");
    edit.add = fields.IsChecked("单选框_增加");
    edit.head = fields.IsChecked("选择框_头");
    edit.tail = fields.IsChecked("选择框_尾");
    const bool backup = fields.IsChecked("选择框_备份");
    const std::uint64_t growth =
        std::min<std::uint64_t>(edit.add ? 2 * edit.keyword.size() : 0, kMaxFileBytes);

    FileReport report;
    std::size_t done = 0;
    // Read, backed up, written.
    const unsigned passes = backup ? 3 : 2;
    const bool whole = ForEachListedFile(
        context, kTitle, items, passes, report,
        [&](const Text& item, FileProgress& progress) {
            FileSystem::ReadResult read =
                files.Read(FileSystemPath(item), kMaxFileBytes - growth, progress.Bytes());
            if (progress.Cancelled()) {
                return report.Untouched(item);
            }
            if (!read.bytes && !read.missing) {
                report.Fail(item, read.reason + "，文件未改动");
                return true;
            }
            // A listed file that is gone counts as empty and is written anew; there is nothing
            // to back up then, so the backup is not asked for it.
            const ByteString content = read.bytes ? std::move(*read.bytes) : ByteString();
            return SaveListedFile(files, item, ApplyHeadTail(content, edit), backup && read.bytes,
                                  progress, report);
        },
        &done);
    report.Show(context, whole ? std::string() : CancelledRunText(kTitle, done));
}

}  // namespace velmor
