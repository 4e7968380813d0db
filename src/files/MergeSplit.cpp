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

    FileReport report;
    ByteString merged;
    merged.reserve(total);
    FileProgress progress(context, "文件合并", items.size(), total);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!progress.Step(i)) {
            return;
        }
        FileSystem::ReadResult read =
            files.Read(FileSystemPath(items[i]), kMaxFileBytes - merged.size());
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
    const std::string reason = files.Save(FileSystemPath(output), merged);
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

    FileReport report;
    ForEachListedFile(context, "文件拆分", items, report, [&](const Text& item) {
        const FileSystem::ReadResult read = files.Read(FileSystemPath(item), kMaxFileBytes);
        if (!read.bytes) {
            report.Fail(item, read.reason);
            return;
        }
        // The piece names differ only in their number, so the prefix is converted once.
        const Text prefix = folder + SplitBaseName(item) + "_";
        std::string path = FileSystemPath(prefix);
        const std::size_t prefixLength = path.size();
        int number = 0;
        ForEachPiece(*read.bytes, separator, [&](std::string_view piece) {
            ++number;
            path.resize(prefixLength);
            path += std::to_string(number);
            path += ".txt";
            const std::string reason = files.SavePiece(path, piece);
            if (reason.empty()) {
                return true;
            }
            // One failed piece stands for the rest of its file: the folder is usually at fault.
            report.Fail(item, "第 " + std::to_string(number) + " 块未能写入（" + GbkToUtf8(prefix) +
                                  std::to_string(number) + ".txt：" + reason + "）");
            return false;
        });
    });
    report.Show(context, "文件拆分完成！");
}

}  // namespace velmor
