#include <map>

#include "core/CodePage936.h"
#include "core/Numbers.h"
#include "core/Services.h"
#include "core/TextPrimitives.h"
#include "files/FileCommands.h"
#include "files/FileReport.h"

namespace velmor {

namespace {

constexpr const char* kList = "列表框1";
constexpr const char* kOutputFolder = "编辑框_目录1";

// Both actions check the same two fields before touching any file.
bool ListAndFolderChosen(const DialogFields& fields, CommandContext& context) {
    const char* problem = nullptr;
    if (fields.At(kList).items.empty()) {
        problem = "未选择要拆分/合并的文件！";
    } else if (fields.TextOf(kOutputFolder).empty()) {
        problem = "未选择拆分/合并后保存的目录！";
    }
    if (problem != nullptr) {
        context.editor.ShowMessage(MessageKind::Information, problem, kInformationTitle);
        return false;
    }
    return context.services.files != nullptr;
}

std::uint64_t KnownSize(const FileSystem& files, const Text& item) {
    return files.Size(FileSystemPath(item)).value_or(0);
}

constexpr const char* kSplitTitle = "文件拆分";

struct SplitRun {
    const ByteString& separator;
    const Text& folder;
    // Identities of listed files still to be split, with how often each is still listed.
    const std::map<std::string, std::size_t>& waiting;
};

// Writes one file's pieces; false when the user cancelled within it.
bool SplitOne(const Text& item, std::string_view content, const SplitRun& run, FileSystem& files,
              FileProgress& progress, FileReport& report) {
    // The piece names differ only in their number, so the prefix is converted once.
    const Text prefix = run.folder + SplitBaseName(item) + "_";
    std::string path = FileSystemPath(prefix);
    const std::size_t prefixLength = path.size();
    int number = 0;
    int written = 0;
    bool cancelled = false;
    ForEachPiece(content, run.separator, [&](std::string_view piece) {
        ++number;
        path.resize(prefixLength);
        path += std::to_string(number);
        path += ".txt";
        const auto pieceName = [&] { return GbkToUtf8(prefix) + std::to_string(number) + ".txt"; };
        if (const auto found = run.waiting.find(files.Identity(path));
            found != run.waiting.end() && found->second > 0) {
            report.Fail(item, "第 " + std::to_string(number) + " 块未写入（" + pieceName() +
                                  " 是列表中尚未拆分的文件）");
        } else if (const std::string reason = files.SavePiece(path, piece); !reason.empty()) {
            // One failed piece stands for the rest of its file: the folder is usually at fault.
            report.Fail(item, "第 " + std::to_string(number) + " 块未能写入（" + pieceName() +
                                  "：" + reason + "）");
            return false;
        } else {
            ++written;
        }
        if (!progress.Add(piece.size() + run.separator.size(), 1)) {
            cancelled = true;
            report.Fail(item, std::string(kCancelledReason) + "（已写入 " +
                                  std::to_string(written) + " 块）");
            return false;
        }
        return true;
    });
    return !cancelled;
}

}  // namespace

ByteString MergeSeparator(const DialogFields& fields) {
    return fields.IsChecked("单选框1") ? ByteString("\r\n") : fields.TextOf("编辑框_自定义1");
}

Text MergedFileName(DateTime now) {
    Text name;
    for (DateUnit unit : {DateUnit::Year, DateUnit::Month, DateUnit::Day, DateUnit::Hour,
                          DateUnit::Minute, DateUnit::Second}) {
        name += ToText(DatePart(now, unit));
    }
    return name + Utf8ToGbk("_合并.txt");
}

Text SplitBaseName(const Text& path) {
    const TextList pieces = TextSplit(path, "/");
    if (pieces.empty()) {
        return Text();
    }
    const TextList parts = TextSplit(pieces.back(), ".");
    return parts.empty() ? Text() : parts.front();
}

void MergeFiles(DialogFields& fields, CommandContext& context) {
    const ByteString separator = MergeSeparator(fields);
    if (!ListAndFolderChosen(fields, context) || context.services.clock == nullptr) {
        return;
    }
    FileSystem& files = *context.services.files;
    const TextList& items = fields.At(kList).items;

    std::uint64_t total = separator.size() * (items.size() - 1);
    for (const Text& item : items) {
        total += KnownSize(files, item);
    }
    if (total > kMaxFileBytes) {
        context.editor.ShowMessage(MessageKind::Error, "文件合并失败！\n合并后的文件将超过 1 GiB。",
                                   kErrorTitle);
        return;
    }

    // Half a merge would look like a whole one: a cancel anywhere, the last write included,
    // leaves nothing written.
    const auto cancelled = [&](std::size_t read) {
        context.editor.ShowMessage(MessageKind::Information,
                                   "文件合并已取消：已读取 " + std::to_string(read) + " / " +
                                       std::to_string(items.size()) +
                                       " 个文件，未写入合并后的文件。",
                                   kInformationTitle);
    };
    FileReport report;
    ByteString merged;
    merged.reserve(total);
    // Each file read, the whole written.
    FileProgress progress(context, "文件合并", items.size(), total, 2);
    for (std::size_t i = 0; i < items.size(); ++i) {
        FileSystem::ReadResult read;
        if (progress.NextFile()) {
            read = files.Read(FileSystemPath(items[i]), kMaxFileBytes - merged.size(),
                              progress.Bytes());
        }
        if (progress.Cancelled()) {
            cancelled(i);
            return;
        }
        if (read.bytes) {
            merged += *read.bytes;
        } else {
            report.Fail(items[i], read.reason);
        }
        if (i + 1 < items.size()) {
            merged += separator;
        }
    }

    const Text output = fields.TextOf(kOutputFolder) + MergedFileName(Now(*context.services.clock));
    const std::string reason = files.Save(FileSystemPath(output), merged, progress.Bytes());
    if (!reason.empty() && progress.Cancelled()) {
        cancelled(items.size());
        return;
    }
    if (!reason.empty()) {
        report.Fail(output, reason);
    }
    report.Show(context, reason.empty() ? "文件合并成功！" : "文件合并失败！");
}

void SplitFiles(DialogFields& fields, CommandContext& context) {
    const ByteString separator = MergeSeparator(fields);
    if (!ListAndFolderChosen(fields, context)) {
        return;
    }
    FileSystem& files = *context.services.files;
    const TextList& items = fields.At(kList).items;
    const Text& folder = fields.TextOf(kOutputFolder);

    // A piece must not replace a listed file before that file's own turn comes.
    std::map<std::string, std::size_t> waiting;
    for (const Text& item : items) {
        if (std::string identity = files.Identity(FileSystemPath(item)); !identity.empty()) {
            ++waiting[identity];
        }
    }
    FileReport report;
    std::size_t done = 0;
    // Each file read, then cut.
    const bool whole = ForEachListedFile(
        context, kSplitTitle, items, 2, report,
        [&](const Text& item, FileProgress& progress) {
            if (const auto found = waiting.find(files.Identity(FileSystemPath(item)));
                found != waiting.end() && found->second > 0) {
                --found->second;
            }
            const FileSystem::ReadResult read =
                files.Read(FileSystemPath(item), kMaxFileBytes, progress.Bytes());
            if (progress.Cancelled()) {
                report.Fail(item, std::string(kCancelledReason) + "（已写入 0 块）");
                return false;
            }
            if (!read.bytes) {
                report.Fail(item, read.reason);
                return true;
            }
            return SplitOne(item, *read.bytes, {separator, folder, waiting}, files, progress,
                            report);
        },
        &done);
    report.Show(context, whole ? "文件拆分完成！" : CancelledRunText(kSplitTitle, done));
}

}  // namespace velmor
