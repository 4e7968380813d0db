#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/Text.h"

namespace velmor {

// Outputs and edits beyond this size are refused before anything is allocated.
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;
// Runs over more files or bytes than these show their progress.
inline constexpr std::size_t kProgressFileCount = 100;
inline constexpr std::uint64_t kProgressBytes = std::uint64_t{50} << 20;
// A run that cuts a small file into this many pieces turns out long, and shows it from then.
inline constexpr std::uint64_t kProgressPieces = 2000;

inline constexpr const char* kCancelledReason = "已取消";

// The files a run could not handle, each with its reason, for the message after the run.
class FileReport {
public:
    // path is a list item (document code page); reason is UTF-8.
    void Fail(const Text& path, const std::string& reason);
    // Names a file the user's cancel left as it was; false, for a visit to return.
    bool Untouched(const Text& path);
    bool Empty() const { return m_lines.empty(); }

    // Shows the run's usual message (information kind; none when usual is empty) when every
    // file went well; otherwise the error kind with the usual text, if any, and the failures.
    void Show(CommandContext& context, const std::string& usual) const;

private:
    std::vector<std::string> m_lines;
};

// Progress over the files of one run, shown only for long runs and only where the platform
// offers it. It follows the bytes and the pieces within each file, so that one large file
// moves the bar and keeps the window answering as a long list does; every call returns false
// once the user cancelled. passes is how often the run goes over each byte (reading, backing
// up, converting, writing), so that the bar fills once over all of them.
class FileProgress {
public:
    FileProgress(CommandContext& context, const std::string& title, std::size_t fileCount,
                 std::uint64_t byteCount, unsigned passes);
    ~FileProgress();
    FileProgress(const FileProgress&) = delete;
    FileProgress& operator=(const FileProgress&) = delete;

    // The next file begins.
    bool NextFile();
    // bytes of the current file were read, written or cut, in pieces pieces.
    bool Add(std::uint64_t bytes, std::uint64_t pieces = 0);
    // Add as the file system's reads, saves and copies call it.
    ByteProgress Bytes();
    bool Cancelled() const { return m_cancelled; }

private:
    bool Report();

    CommandContext& m_context;
    std::string m_title;
    std::unique_ptr<ProgressReporter> m_reporter;
    std::uint64_t m_pieces = 0;
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    std::uint64_t m_reportedAt = 0;
    std::uint64_t m_piecesSinceReport = 0;
    bool m_cancelled = false;
};

// Calls visit for each item in list order, with progress shown for long runs (over passes
// passes); visit returns false when the user cancelled within its file and left it as it was.
// Once cancelled, the items left are reported as cancelled and the count of the files done
// comes back through done. Needs the run's file system; true when the run was not cancelled.
bool ForEachListedFile(CommandContext& context, const std::string& title, const TextList& items,
                       unsigned passes, FileReport& report,
                       const std::function<bool(const Text& item, FileProgress& progress)>& visit,
                       std::size_t* done = nullptr);

// Writes bytes over a listed file at path, after copying it to path + ".bak" when backup is
// asked; a failed backup leaves the file as it was. Failures go to the report; false when the
// user cancelled on the way and the file was left as it was (reported so).
bool SaveListedFile(FileSystem& files, const Text& item, std::string_view bytes, bool backup,
                    FileProgress& progress, FileReport& report);

// The closing text of a run the user cancelled, after done files.
std::string CancelledRunText(const std::string& title, std::size_t done);

// A list item (document code page) as a file-system path (UTF-8).
std::string FileSystemPath(const Text& item);

}  // namespace velmor
