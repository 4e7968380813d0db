#include "platform/FileBytes.h"

#include <fcntl.h>
#include <linux/falloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>

#include "core/LargeText.h"

namespace velmor {

namespace {

long SystemWrite(int descriptor, const void* data, std::size_t count) {
    return static_cast<long>(::write(descriptor, data, count));
}

WriteCall g_write = &SystemWrite;

// A full disk shows as a short count first and an error only on the next call, so every
// count is checked and the rest written again.
bool WriteAll(int descriptor, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const long written = g_write(descriptor, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0 || static_cast<std::size_t>(written) > left) {
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int descriptor = -1;
    do {
        descriptor = ::open(path, flags | O_CLOEXEC, mode);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// The file a save replaces: a symbolic link is followed so that the link itself survives.
std::string SaveTarget(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return resolved.string();
        }
    }
    return path;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void SyncFolder(const std::string& folder) {
    const int descriptor = OpenRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        // Only makes the rename durable sooner; the save has succeeded either way.
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

constexpr const char* kCannotWrite = "无法写入";

std::string ErrnoReason() {
    const int error = errno;
    if (error == 0) {
        return kCannotWrite;
    }
    return std::string(kCannotWrite) + "（" + std::strerror(error) + "）";
}

// Every other link to the file sees the new content. The room is reserved first, so that a
// full disk refuses the write before the first byte changes.
std::string WriteInPlace(const std::string& target, const struct stat& old, std::uint64_t size,
                         const ContentWriter& write, const ByteProgress& progress) {
    const int descriptor = OpenRetrying(target.c_str(), O_WRONLY | O_NOFOLLOW);
    if (descriptor < 0) {
        return ErrnoReason();
    }
    struct stat now {};
    if (::fstat(descriptor, &now) != 0 || now.st_ino != old.st_ino || now.st_dev != old.st_dev) {
        ::close(descriptor);
        return "文件在写入前被替换，文件未改动";
    }
    if (size > static_cast<std::uint64_t>(now.st_size) &&
        ::fallocate(descriptor, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0) {
        const std::string reason = ErrnoReason() + "，文件未改动";
        ::close(descriptor);
        return reason;
    }
    // Half a file in place would be lost: a stop asked for on the way is not heeded here.
    const ByteProgress toTheEnd = [&progress](std::uint64_t bytes) {
        if (progress) {
            progress(bytes);
        }
        return true;
    };
    bool written = write(descriptor, toTheEnd) &&
                   ::ftruncate(descriptor, static_cast<off_t>(size)) == 0 &&
                   ::fsync(descriptor) == 0;
    const std::string reason = written ? std::string() : ErrnoReason();
    written = ::close(descriptor) == 0 && written;
    return written ? std::string() : (reason.empty() ? ErrnoReason() : reason);
}

}  // namespace

void SetWriteCallForTesting(WriteCall call) {
    g_write = call != nullptr ? call : &SystemWrite;
}

ByteString ReadFileBytes(const std::string& path) {
    return TryReadFileBytes(path).value_or(ByteString());
}

namespace {

// A file is read a mebibyte at a time straight into the buffer that keeps it: each step is
// zeroed just before the read fills it, while it is still in the cache.
constexpr std::size_t kReadStep = std::size_t{1} << 20;

}  // namespace

std::optional<ByteString> TryReadFileBytes(const std::string& path) {
    ByteString bytes;
    std::size_t used = 0;
    const bool read = ReadFileInto(
        path, {[&](std::size_t fileSize) {
                   if (used == bytes.size()) {
                       const std::size_t needed = used + kReadStep;
                       if (bytes.capacity() <= std::max(used, fileSize)) {
                           // As AppendPiece: the file's size, one byte over so that the end of
                           // the file is seen without growing; twice the room for a pipe.
                           ReserveLargeText(bytes,
                                            std::max({needed, fileSize + 1, 2 * bytes.capacity()}),
                                            std::max(needed, fileSize));
                       }
                       bytes.resize(std::min(bytes.capacity(), needed));
                   }
                   return std::span<char>(bytes.data() + used, bytes.size() - used);
               },
               [&](std::size_t count) { used += count; }});
    if (!read) {
        return std::nullopt;
    }
    bytes.resize(used);
    return bytes;
}

namespace {

// Pieces handed to a PieceSink.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

template <typename Read>
bool ReadOpenedFile(const std::string& path, Read read) {
    if (path.empty()) {
        return false;
    }
    const int descriptor = OpenRetrying(path.c_str(), O_RDONLY);
    if (descriptor < 0) {
        return false;
    }
    const bool done = read(descriptor);
    ::close(descriptor);
    return done;
}

}  // namespace

bool ReadFilePieces(const std::string& path, const PieceSink& piece) {
    return ReadOpenedFile(path,
                          [&](int descriptor) { return ReadDescriptorPieces(descriptor, piece); });
}

bool ReadFileInto(const std::string& path, const ReadTarget& target) {
    return ReadOpenedFile(path,
                          [&](int descriptor) { return ReadDescriptorInto(descriptor, target); });
}

bool ReadDescriptorPieces(int descriptor, const PieceSink& piece) {
    return ReadPiecesThrough(
        [descriptor](const ReadTarget& target) { return ReadDescriptorInto(descriptor, target); },
        piece);
}

bool ReadPiecesThrough(const std::function<bool(const ReadTarget&)>& readInto,
                       const PieceSink& piece) {
    const std::unique_ptr<char[]> buffer(new char[kPieceBytes]);
    std::size_t fileSize = 0;
    return readInto({[&](std::size_t size) {
                         fileSize = size;
                         return std::span<char>(buffer.get(), kPieceBytes);
                     },
                     [&](std::size_t count) {
                         if (count > 0) {
                             piece(std::string_view(buffer.get(), count), fileSize);
                         }
                     }});
}

bool ReadDescriptorInto(int descriptor, const ReadTarget& target) {
    struct stat status {};
    const std::size_t size = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)
                                 ? static_cast<std::size_t>(status.st_size)
                                 : 0;
    for (;;) {
        const std::span<char> room = target.room(size);
        const ssize_t got = ::read(descriptor, room.data(), room.size());
        if (got < 0 && errno == EINTR) {
            target.filled(0);
            continue;
        }
        if (got < 0) {
            target.filled(0);
            return false;
        }
        target.filled(static_cast<std::size_t>(got));
        if (got == 0) {
            return true;
        }
    }
}

void AppendPiece(std::string& bytes, std::string_view piece, std::size_t size) {
    const std::size_t needed = bytes.size() + piece.size();
    if (needed > bytes.capacity()) {
        // The file's size when it is known (one extra byte spares a regrowth at the end);
        // twice the room otherwise, for a pipe or a file that grows meanwhile.
        ReserveLargeText(bytes, std::max({needed, size + 1, 2 * bytes.capacity()}),
                         std::max(needed, size));
    }
    bytes += piece;
}

bool WriteFileBytes(const std::string& path, std::initializer_list<std::string_view> parts) {
    if (path.empty()) {
        return false;
    }
    const int descriptor = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (descriptor < 0) {
        return false;
    }
    bool written = true;
    for (std::string_view part : parts) {
        if (!WriteAll(descriptor, part)) {
            written = false;
            break;
        }
    }
    return ::close(descriptor) == 0 && written;
}

bool SaveDocumentBytes(const std::string& path, std::string_view bytes) {
    return SaveDocumentBytes(path, std::vector<std::string_view>{bytes});
}

namespace {

// A large document is written past the page cache: on the virtual machines this runs on,
// filling a gigabyte of fresh cache pages and then syncing them takes several times as long
// as writing the same bytes straight to the disk. The parts are gathered into an aligned
// buffer; the unaligned tail, and a file system that refuses such writes, take ordinary ones.
constexpr std::uint64_t kDirectWriteBytes = std::uint64_t{32} << 20;
constexpr std::size_t kDirectAlignment = 4096;
constexpr std::size_t kDirectBuffer = std::size_t{8} << 20;

bool SetDirect(int descriptor, bool on) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 &&
           ::fcntl(descriptor, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) == 0;
}

class DirectWriter {
public:
    explicit DirectWriter(int descriptor)
        : m_descriptor(descriptor),
          m_buffer(static_cast<char*>(std::aligned_alloc(kDirectAlignment, kDirectBuffer))) {
        m_direct = m_buffer != nullptr && SetDirect(descriptor, true);
    }
    ~DirectWriter() {
        if (m_direct) {
            SetDirect(m_descriptor, false);
        }
        std::free(m_buffer);
    }
    DirectWriter(const DirectWriter&) = delete;
    DirectWriter& operator=(const DirectWriter&) = delete;

    bool Put(std::string_view bytes) {
        while (m_direct && !bytes.empty()) {
            const std::size_t taken = std::min(kDirectBuffer - m_filled, bytes.size());
            std::memcpy(m_buffer + m_filled, bytes.data(), taken);
            m_filled += taken;
            bytes.remove_prefix(taken);
            if (m_filled == kDirectBuffer && !Flush(kDirectBuffer)) {
                return false;
            }
        }
        return WriteAll(m_descriptor, bytes);
    }

    // The gathered bytes left, the last unaligned ones the ordinary way.
    bool Finish() {
        if (!Flush(m_filled / kDirectAlignment * kDirectAlignment)) {
            return false;
        }
        EndDirect();
        const std::size_t left = std::exchange(m_filled, 0);
        return WriteAll(m_descriptor, std::string_view(m_buffer, left));
    }

private:
    // Writes the first count gathered bytes (a whole number of aligned blocks) and moves the
    // rest to the front.
    bool Flush(std::size_t count) {
        std::size_t done = 0;
        while (m_direct && done < count) {
            const long written = g_write(m_descriptor, m_buffer + done, count - done);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0 && errno == EINVAL && m_flushed == 0 && done == 0) {
                // Accepted when asked for, refused when written: nothing went yet.
                EndDirect();
                break;
            }
            if (written <= 0 || static_cast<std::size_t>(written) > count - done) {
                return false;
            }
            done += static_cast<std::size_t>(written);
            if (done % kDirectAlignment != 0) {
                // A short count leaves the next write unaligned.
                EndDirect();
            }
        }
        if (!WriteAll(m_descriptor, std::string_view(m_buffer + done, count - done))) {
            return false;
        }
        m_flushed += count;
        std::memmove(m_buffer, m_buffer + count, m_filled - count);
        m_filled -= count;
        return true;
    }

    void EndDirect() {
        if (m_direct) {
            m_direct = false;
            SetDirect(m_descriptor, false);
        }
    }

    int m_descriptor;
    char* m_buffer;
    bool m_direct = false;
    std::size_t m_filled = 0;
    std::uint64_t m_flushed = 0;
};

}  // namespace

bool SaveDocumentBytes(const std::string& path, const std::vector<std::string_view>& parts) {
    std::uint64_t size = 0;
    for (const std::string_view part : parts) {
        size += part.size();
    }
    const auto writeParts = [&parts, size](int descriptor, const ByteProgress&) {
        if (size >= kDirectWriteBytes) {
            DirectWriter writer(descriptor);
            return std::all_of(parts.begin(), parts.end(),
                               [&writer](std::string_view part) { return writer.Put(part); }) &&
                   writer.Finish();
        }
        return std::all_of(parts.begin(), parts.end(), [descriptor](std::string_view part) {
            return WriteAll(descriptor, part);
        });
    };
    return ReplaceFile(path, size, writeParts, ReplaceOptions()).empty();
}

bool WriteAllBytes(int descriptor, std::string_view bytes, const ByteProgress& progress) {
    if (!progress) {
        return WriteAll(descriptor, bytes);
    }
    constexpr std::size_t kStep = std::size_t{1} << 20;
    for (std::size_t done = 0; done < bytes.size(); done += kStep) {
        const std::string_view step = bytes.substr(done, kStep);
        if (!WriteAll(descriptor, step)) {
            return false;
        }
        if (!progress(step.size())) {
            errno = ECANCELED;
            return false;
        }
    }
    return true;
}

std::string ReplaceFile(const std::string& path, std::uint64_t size, const ContentWriter& write,
                        const ReplaceOptions& options) {
    if (path.empty()) {
        return kCannotWrite;
    }
    const std::string target = options.followLink ? SaveTarget(path) : path;
    struct stat old {};
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    // A link is only met here when it is not followed: then the link itself is replaced.
    const bool regular = exists && S_ISREG(old.st_mode);
    if (exists && S_ISDIR(old.st_mode)) {
        return "是文件夹，不能写入";
    }
    // A device, a pipe or a socket cannot be replaced by a file without losing what it was.
    if (exists && !regular && !S_ISLNK(old.st_mode)) {
        return "不是普通文件，不能写入";
    }
    // The rename below would replace a file its own mode forbids this user to change.
    if (regular && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return "文件不可写（只读或无权限），文件未改动";
    }
    const std::filesystem::path targetPath(target);
    std::string folder = targetPath.parent_path().string();
    if (folder.empty()) {
        folder = ".";
    }
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode)) {
        return "文件夹不存在";
    }
    ReplaceOptions chosen = options;
    if (!chosen.mode) {
        chosen.mode = regular ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
    }
    if (!chosen.owner && regular) {
        chosen.owner = std::pair<unsigned, unsigned>(old.st_uid, old.st_gid);
    }
    if (regular && old.st_nlink > 1) {
        if (!options.inPlace) {
            return "文件有多个硬链接，不能替换";
        }
        return WriteInPlace(target, old, size, write, options.progress);
    }
    std::string temporary = folder + "/." + targetPath.filename().string() + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return kCannotWrite;
    }
    bool saved = ::fchmod(descriptor, static_cast<mode_t>(*chosen.mode)) == 0;
    if (saved && chosen.owner) {
        // Keeps the owner where allowed (root saving another user's file); harmless otherwise.
        [[maybe_unused]] const int ignored =
            ::fchown(descriptor, chosen.owner->first, chosen.owner->second);
        // A changed owner clears the set-id bits; the mode is set again after it.
        saved = ::fchmod(descriptor, static_cast<mode_t>(*chosen.mode)) == 0;
    }
    saved =
        saved && write(descriptor, options.progress) && (!options.sync || ::fsync(descriptor) == 0);
    std::string reason = saved ? std::string() : ErrnoReason();
    saved = (::close(descriptor) == 0) && saved;
    saved = saved && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!saved) {
        if (reason.empty()) {
            reason = ErrnoReason();
        }
        ::unlink(temporary.c_str());
        return reason;
    }
    if (options.sync) {
        SyncFolder(folder);
    }
    return std::string();
}

}  // namespace velmor
