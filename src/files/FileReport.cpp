#include "files/FileReport.h"

#include <algorithm>

#include "core/CodePage936.h"
#include "core/EditorAccess.h"

namespace velmor {

namespace {

constexpr std::size_t kMaxReportLines = 40;
constexpr std::uint64_t kProgressStepBytes = std::uint64_t{1} << 20;
constexpr std::uint64_t kProgressStepPieces = 256;

void CancelFrom(const TextList& items, std::size_t first, FileReport& report) {
    for (std::size_t i = first; i < items.size(); ++i) {
        report.Fail(items[i], kCancelledReason);
    }
}

}  // namespace

void FileReport::Fail(const Text& path, const std::string& reason) {
    m_lines.push_back(GbkToUtf8(path) + "：" + reason);
}

bool FileReport::Untouched(const Text& path) {
    Fail(path, std::string(kCancelledReason) + "，文件未改动");
    return false;
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
                           std::uint64_t byteCount, unsigned passes)
    : m_context(context), m_title(title), m_total(byteCount * passes + fileCount) {
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

bool FileProgress::NextFile() {
    const bool going = Report();
    ++m_done;
    return going;
}

bool FileProgress::Add(std::uint64_t bytes, std::uint64_t pieces) {
    m_done += bytes;
    m_pieces += pieces;
    m_piecesSinceReport += pieces;
    if (!m_reporter && m_pieces > kProgressPieces && m_context.services.progress) {
        m_reporter = m_context.services.progress(m_title);
    }
    // Often enough for the window to answer within a few hundredths of a second, seldom
    // enough to cost nothing next to the work.
    if (m_done - m_reportedAt < kProgressStepBytes && m_piecesSinceReport < kProgressStepPieces) {
        return !m_cancelled;
    }
    return Report();
}

ByteProgress FileProgress::Bytes() {
    return [this](std::uint64_t bytes) { return Add(bytes); };
}

bool FileProgress::Report() {
    m_reportedAt = m_done;
    m_piecesSinceReport = 0;
    if (m_reporter && !m_cancelled) {
        m_cancelled = !m_reporter->Step(std::min(m_done, m_total), m_total);
    }
    return !m_cancelled;
}

bool ForEachListedFile(CommandContext& context, const std::string& title, const TextList& items,
                       unsigned passes, FileReport& report,
                       const std::function<bool(const Text& item, FileProgress& progress)>& visit,
                       std::size_t* done) {
    std::uint64_t total = 0;
    for (const Text& item : items) {
        total += context.services.files->Size(FileSystemPath(item)).value_or(0);
    }
    FileProgress progress(context, title, items.size(), total, passes);
    std::size_t i = 0;
    for (; i < items.size(); ++i) {
        if (!progress.NextFile()) {
            CancelFrom(items, i, report);
            break;
        }
        // A file cancelled within has told the report how far it got.
        if (!visit(items[i], progress)) {
            CancelFrom(items, i + 1, report);
            break;
        }
    }
    if (done != nullptr) {
        *done = i;
    }
    return i == items.size();
}

bool SaveListedFile(FileSystem& files, const Text& item, std::string_view bytes, bool backup,
                    FileProgress& progress, FileReport& report) {
    const std::string path = FileSystemPath(item);
    if (backup) {
        const std::string reason = files.Copy(path, path + ".bak", progress.Bytes());
        // A backup made whole before the cancel is no change to the file itself.
        if (progress.Cancelled()) {
            return report.Untouched(item);
        }
        if (!reason.empty()) {
            report.Fail(item, "备份失败（" + reason + "），文件未改动");
            return true;
        }
    }
    if (const std::string reason = files.Save(path, bytes, progress.Bytes()); !reason.empty()) {
        if (progress.Cancelled()) {
            return report.Untouched(item);
        }
        report.Fail(item, reason);
    }
    // A file saved though the cancel came on the way is done; the run stops before the next.
    return true;
}

std::string CancelledRunText(const std::string& title, std::size_t done) {
    return title + "已取消：已处理 " + std::to_string(done) + " 个文件。";
}

std::string FileSystemPath(const Text& item) {
    return GbkToUtf8(item);
}

}  // namespace velmor
