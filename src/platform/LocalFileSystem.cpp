#include "platform/LocalFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/FileBytes.h"
#include "platform/ScriptFolder.h"

namespace velmor {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 16;

std::string ReadReason() {
    return std::string("无法读取（") + std::strerror(errno) + "）";
}

// Only a regular file is opened, and without waiting: a pipe without a writer, a device or a
// socket would block the run or never end.
int OpenRegularFile(const std::string& path, struct stat& status, FileSystem::ReadResult& result) {
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        result.missing = !path.empty() && errno == ENOENT;
        result.reason = result.missing || path.empty() ? "文件不存在" : ReadReason();
        return -1;
    }
    if (S_ISDIR(status.st_mode)) {
        result.reason = "是文件夹，不是文件";
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        result.reason = "不是普通文件，未处理";
        return -1;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        result.reason = ReadReason();
        return -1;
    }
    // The path may have been swapped for something else between the two looks.
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        result.reason = "不是普通文件，未处理";
        return -1;
    }
    return descriptor;
}

ssize_t ReadSome(int descriptor, char* buffer, std::size_t size) {
    ssize_t got = -1;
    do {
        got = ::read(descriptor, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

}  // namespace

FileSystem::ReadResult LocalFileSystem::Read(const std::string& path, std::uint64_t maxBytes,
                                             const ByteProgress& progress) const {
    ReadResult result;
    struct stat status {};
    const int descriptor = OpenRegularFile(path, status, result);
    if (descriptor < 0) {
        return result;
    }
    if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
        ::close(descriptor);
        result.reason = "文件太大";
        return result;
    }
    ByteString bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    const std::unique_ptr<char[]> buffer(new char[kBlock]);
    for (;;) {
        const ssize_t got = ReadSome(descriptor, buffer.get(), kBlock);
        if (got < 0) {
            result.reason = ReadReason();
            ::close(descriptor);
            return result;
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since its size was taken.
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            ::close(descriptor);
            result.reason = "文件太大";
            return result;
        }
        bytes.append(buffer.get(), static_cast<std::size_t>(got));
        if (progress && !progress(static_cast<std::uint64_t>(got))) {
            ::close(descriptor);
            result.reason = "已取消";
            return result;
        }
    }
    ::close(descriptor);
    result.bytes = std::move(bytes);
    return result;
}

std::optional<std::uint64_t> LocalFileSystem::Size(const std::string& path) const {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::string LocalFileSystem::Identity(const std::string& path) const {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return std::string();
    }
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

std::string LocalFileSystem::Save(const std::string& path, std::string_view bytes,
                                  const ByteProgress& progress) {
    ReplaceOptions options;
    options.progress = progress;
    return ReplaceFile(
        path, bytes.size(),
        [bytes](int descriptor, const ByteProgress& written) {
            return WriteAllBytes(descriptor, bytes, written);
        },
        options);
}

std::string LocalFileSystem::SavePiece(const std::string& path, std::string_view bytes) {
    // A link planted at a piece's name is replaced, never written through.
    ReplaceOptions options;
    options.followLink = false;
    options.sync = false;
    return ReplaceFile(
        path, bytes.size(),
        [bytes](int descriptor, const ByteProgress&) { return WriteAllBytes(descriptor, bytes); },
        options);
}

std::string LocalFileSystem::Copy(const std::string& from, const std::string& to,
                                  const ByteProgress& progress) {
    ReadResult opened;
    struct stat status {};
    const int source = OpenRegularFile(from, status, opened);
    if (source < 0) {
        return opened.reason;
    }
    // As cp -p: the copy is no more readable than the original, and keeps its owner where
    // allowed. The target's name is replaced, never written through a link.
    ReplaceOptions options;
    options.followLink = false;
    options.mode = status.st_mode & 07777;
    options.owner = std::pair<unsigned, unsigned>(status.st_uid, status.st_gid);
    options.progress = progress;
    bool readFailed = false;
    const std::string reason = ReplaceFile(
        to, static_cast<std::uint64_t>(status.st_size),
        [&](int target, const ByteProgress& copying) {
            const std::unique_ptr<char[]> buffer(new char[kBlock]);
            std::uint64_t copied = 0;
            for (;;) {
                const ssize_t got = ReadSome(source, buffer.get(), kBlock);
                if (got < 0) {
                    readFailed = true;
                    return false;
                }
                if (got == 0) {
                    // A file cut short meanwhile would make a short copy look whole.
                    return copied == static_cast<std::uint64_t>(status.st_size);
                }
                if (!WriteAllBytes(target,
                                   std::string_view(buffer.get(), static_cast<std::size_t>(got)))) {
                    return false;
                }
                if (copying && !copying(static_cast<std::uint64_t>(got))) {
                    return false;
                }
                copied += static_cast<std::uint64_t>(got);
            }
        },
        options);
    ::close(source);
    if (readFailed) {
        return "无法读取原文件";
    }
    return reason;
}

std::string LocalFileSystem::SaveScript(const std::string& fileName, std::string_view bytes,
                                        std::string& path) {
    return WriteScriptFile(fileName, bytes, path);
}

}  // namespace velmor
