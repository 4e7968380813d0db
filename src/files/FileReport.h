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

inline constexpr const char* kCancelledReason = "已取消";

// The files a run could not handle, each with its reason, for the message after the run.
class FileReport {
public:
    // path is a list item (document code page); reason is UTF-8.
    void Fail(const Text& path, const std::string& reason);
    bool Empty() const { return m_lines.empty(); }

    // Shows the run's usual message (information kind; none when usual is empty) when every
    // file went well; otherwise the error kind with the usual text, if any, and the failures.
    void Show(CommandContext& context, const std::string& usual) const;

private:
    std::vector<std::string> m_lines;
};

// Progress over the files of one run, shown only for long runs and only where the platform
// offers it. Step returns false once the user cancelled.
class FileProgress {
public:
    FileProgress(CommandContext& context, const std::string& title, std::size_t fileCount,
                 std::uint64_t byteCount);
    ~FileProgress();
    FileProgress(const FileProgress&) = delete;
    FileProgress& operator=(const FileProgress&) = delete;

    bool Step(std::size_t filesDone);

private:
    std::unique_ptr<ProgressReporter> m_reporter;
    std::size_t m_total;
};

// Calls visit for each item in list order, with progress shown for long runs; once the user
// cancels, the items left are reported as cancelled. Needs the run's file system.
void ForEachListedFile(CommandContext& context, const std::string& title, const TextList& items,
                       FileReport& report, const std::function<void(const Text& item)>& visit);

// A list item (document code page) as a file-system path (UTF-8).
std::string FileSystemPath(const Text& item);

}  // namespace velmor
