#include "files/FileReport.h"

#include <algorithm>

#include "core/CodePage936.h"
#include "core/EditorAccess.h"

namespace velmor {

namespace {

constexpr std::size_t kMaxReportLines = 40;

}  // namespace

void FileReport::Fail(const Text& path, const std::string& reason) {
    m_lines.push_back(GbkToUtf8(path) + "：" + reason);
}

void FileReport::Show(CommandContext& context, const std::string& usual) const {
    if (m_lines.empty()) {
        if (!usual.empty()) {
            context.editor.ShowMessage(MessageKind::Information, usual, kInformationTitle);
        }
        return;
    }
    std::string text = usual.empty() ? std::string() : usual + "\n";
    text += "以下文件未能处理：";
    // A message box cannot show ten thousand lines; the count of the rest says enough.
    const std::size_t shown = std::min(m_lines.size(), kMaxReportLines);
    for (std::size_t i = 0; i < shown; ++i) {
        text += "\n" + m_lines[i];
    }
    if (shown < m_lines.size()) {
        text += "\n……另有 " + std::to_string(m_lines.size() - shown) + " 个文件";
    }
    context.editor.ShowMessage(MessageKind::Error, text, kErrorTitle);
}

FileProgress::FileProgress(CommandContext& context, const std::string& title, std::size_t fileCount,
                           std::uint64_t byteCount)
    : m_total(fileCount) {
    if (context.services.progress &&
        (fileCount > kProgressFileCount || byteCount > kProgressBytes)) {
        m_reporter = context.services.progress(title);
    }
}

FileProgress::~FileProgress() {
    if (m_reporter) {
        m_reporter->Finish();
    }
}

bool FileProgress::Step(std::size_t filesDone) {
    return !m_reporter || m_reporter->Step(filesDone, m_total);
}

void ForEachListedFile(CommandContext& context, const std::string& title, const TextList& items,
                       FileReport& report, const std::function<void(const Text& item)>& visit) {
    std::uint64_t total = 0;
    for (const Text& item : items) {
        total += context.services.files->Size(FileSystemPath(item)).value_or(0);
    }
    FileProgress progress(context, title, items.size(), total);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!progress.Step(i)) {
            for (; i < items.size(); ++i) {
                report.Fail(items[i], kCancelledReason);
            }
            return;
        }
        visit(items[i]);
    }
}

std::string FileSystemPath(const Text& item) {
    return GbkToUtf8(item);
}

}  // namespace velmor
