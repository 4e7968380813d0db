#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/DateTime.h"
#include "core/Random.h"
#include "core/ScriptHost.h"
#include "core/Text.h"

namespace velmor {

// Simplified/traditional Chinese conversion of UTF-8 text (phrase-aware where it can be).
class ChineseConverter {
public:
    virtual ~ChineseConverter() = default;
    virtual std::string ToSimplified(std::string_view utf8) const = 0;
    virtual std::string ToTraditional(std::string_view utf8) const = 0;
};

// String values under HKEY_CURRENT_USER, addressed by a key path such as
// "Software\Zelbra 记事本\常用文件" and a value name ("" for the default value). Values are
// document texts; a missing value reads as the empty text, a failed write is ignored.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual Text ReadString(const std::string& keyPath, const std::string& valueName) const = 0;
    virtual void WriteString(const std::string& keyPath, const std::string& valueName,
                             const Text& value) = 0;
};

// The system's cryptographic random bytes. Runs whose tick source is fixed have none, so that
// everything they draw comes from the reproducible RandomGenerator.
class SecureRandomSource {
public:
    virtual ~SecureRandomSource() = default;
    virtual void Fill(unsigned char* bytes, std::size_t count) const = 0;
};

// Told the bytes of each block as a long read, write or copy goes on; false asks it to stop.
using ByteProgress = std::function<bool(std::uint64_t bytes)>;

// Files beyond the document's own, for the multi-file tools and the scripts. Paths are UTF-8;
// a failure comes back as a short UTF-8 reason for the user, success as the empty reason.
// A read, save or copy given progress tells it the bytes as they go and stops when it answers
// false: a stopped read gives no bytes, a stopped save or copy fails and leaves any old file
// as it was (a file written in place, to keep its hard links, is written to its end first).
class FileSystem {
public:
    struct ReadResult {
        std::optional<ByteString> bytes;  // nullopt when the file could not be read
        std::string reason;
        bool missing = false;  // nothing exists at the path
    };
    virtual ~FileSystem() = default;
    // The whole file; refused (nothing allocated) when it holds more than maxBytes, and
    // refused without waiting when it is not a regular file (a pipe, a device).
    virtual ReadResult Read(const std::string& path, std::uint64_t maxBytes,
                            const ByteProgress& progress = {}) const = 0;
    // The size of a regular file, or nullopt when it is missing or not a regular file.
    virtual std::optional<std::uint64_t> Size(const std::string& path) const = 0;
    // Creates or replaces the file so that no half-written file is ever left.
    virtual std::string Save(const std::string& path, std::string_view bytes,
                             const ByteProgress& progress = {}) = 0;
    // As Save, for the many small files of one run: a failure still leaves no half-written file
    // and any old file untouched, but nothing waits for the disk to hold the data.
    virtual std::string SavePiece(const std::string& path, std::string_view bytes) = 0;
    // Copies a file over an existing target; the copy keeps the original's mode.
    virtual std::string Copy(const std::string& from, const std::string& to,
                             const ByteProgress& progress = {}) = 0;
    // What tells two paths to the same file apart from others (empty when nothing is there).
    virtual std::string Identity(const std::string& path) const = 0;
    // Writes a script under fileName into a folder made for it that only this user may
    // enter; path gets where it went.
    virtual std::string SaveScript(const std::string& fileName, std::string_view bytes,
                                   std::string& path) = 0;
};

// One HTTP GET; the caller decides what the body means.
class HttpClient {
public:
    struct Result {
        std::optional<ByteString> body;  // nullopt on failure; an error status is no failure
        std::string reason;              // UTF-8, why it failed
    };
    // Asked now and then while the transfer runs with the bytes received so far; false cancels.
    using ProgressCallback = std::function<bool(std::uint64_t received)>;
    virtual ~HttpClient() = default;
    virtual Result Get(const std::string& address, const ProgressCallback& progress) = 0;
};

// The desktop's own handling of a file: whatever program is associated with its type.
class DesktopShell {
public:
    enum class Outcome { Opened, NoProgram };
    virtual ~DesktopShell() = default;
    virtual Outcome Open(const std::string& path) = 0;
};

// Long runs over files report here and learn whether the user cancelled.
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    // done out of total steps; false once the user asked to stop.
    virtual bool Step(std::uint64_t done, std::uint64_t total) = 0;
    virtual void Finish() = 0;
};

// What the machine can still give for a command's result.
class MemoryBudget {
public:
    virtual ~MemoryBudget() = default;
    // Bytes of memory the system can still give the process now, as it reports them.
    virtual std::uint64_t AvailableBytes() const = 0;
    // The longest text the run's editor can hold at all, whatever the memory.
    virtual std::uint64_t LargestText() const = 0;
};

// The services of the platform a command may use, handed in by whoever runs it. A service a
// run does not provide is null; the commands that need it are not offered there.
struct Services {
    const Clock* clock = nullptr;
    RandomGenerator* random = nullptr;
    const ChineseConverter* chinese = nullptr;
    SettingsStore* settings = nullptr;
    const SecureRandomSource* secureRandom = nullptr;
    FileSystem* files = nullptr;
    HttpClient* http = nullptr;
    DesktopShell* shell = nullptr;
    // Created for one long run; null where no progress can be shown.
    std::function<std::unique_ptr<ProgressReporter>(const std::string& title)> progress;
    const ScriptHostFactory* scripts = nullptr;
    // Null where the run sets no budget: results then keep to kMaxResultBytes.
    const MemoryBudget* memory = nullptr;
};

}  // namespace velmor
