#include "platform/FileStart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmor {

std::optional<FileStart> ReadFileStart(const std::string& path, std::size_t count) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    FileStart start;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        start.size = static_cast<std::uint64_t>(status.st_size);
    }
    start.bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t read = ::read(descriptor, start.bytes.data() + got, count - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            ::close(descriptor);
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    ::close(descriptor);
    start.bytes.resize(got);
    return start;
}

}  // namespace velmor
