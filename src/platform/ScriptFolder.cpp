#include "platform/ScriptFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/FileBytes.h"

namespace velmor {

namespace {

std::string Reason(const char* what) {
    return std::string(what) + "（" + std::strerror(errno) + "）";
}

bool IsOwnPrivateFolder(const struct stat& status) {
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

// The runtime folder only when it is this user's own, as it should be; the temporary folder
// otherwise. An unset or relative variable never leads to the root of the disk or the
// current folder.
std::string BaseFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && runtime[0] == '/') {
        struct stat status {};
        if (::stat(runtime, &status) == 0 && IsOwnPrivateFolder(status)) {
            return runtime;
        }
    }
    const char* temporary = std::getenv("TMPDIR");
    return temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp";
}

}  // namespace

std::string WriteScriptFile(const std::string& fileName, std::string_view bytes,
                            std::string& path) {
    std::string base = BaseFolder();
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    std::string folder = (base == "/" ? std::string() : base) + "/velmor-script-XXXXXX";
    path = folder;
    // mkdtemp makes a new folder of mode 0700 under a name nobody can guess or take first.
    if (::mkdtemp(folder.data()) == nullptr) {
        return Reason("无法建立脚本文件夹");
    }
    path = folder + "/" + fileName;
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (directory < 0) {
        return Reason("无法打开脚本文件夹");
    }
    struct stat status {};
    if (::fstat(directory, &status) != 0 || !IsOwnPrivateFolder(status)) {
        ::close(directory);
        return "脚本文件夹不归本用户所有";
    }
    const int file = ::openat(directory, fileName.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    ::close(directory);
    if (file < 0) {
        return Reason("无法写入");
    }
    const bool written = WriteAllBytes(file, bytes);
    const std::string reason = written ? std::string() : Reason("无法写入");
    if (::close(file) != 0 || !written) {
        ::unlink(path.c_str());
        return reason.empty() ? Reason("无法写入") : reason;
    }
    return std::string();
}

}  // namespace velmor
