#include "platform/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/FileBytes.h"

namespace velmor {

namespace {

QString Native(const std::string& path) {
    return QString::fromStdString(path);
}

bool WriteAndClose(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ::close(fd);
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return ::close(fd) == 0;
}

std::string ErrnoReason() {
    return std::string("无法写入（") + std::strerror(errno) + "）";
}

}  // namespace

FileSystem::ReadResult LocalFileSystem::Read(const std::string& path,
                                             std::uint64_t maxBytes) const {
    ReadResult result;
    const QFileInfo info(Native(path));
    if (path.empty() || !info.exists()) {
        result.missing = !path.empty();
        result.reason = "文件不存在";
        return result;
    }
    if (info.isDir()) {
        result.reason = "是文件夹，不是文件";
        return result;
    }
    if (static_cast<std::uint64_t>(info.size()) > maxBytes) {
        result.reason = "文件太大";
        return result;
    }
    QFile file(Native(path));
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = "无法读取（" + file.errorString().toStdString() + "）";
        return result;
    }
    ByteString bytes;
    bytes.reserve(static_cast<std::size_t>(info.size()));
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0) {
            result.reason = "无法读取（" + file.errorString().toStdString() + "）";
            return result;
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since its size was taken.
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            result.reason = "文件太大";
            return result;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    result.bytes = std::move(bytes);
    return result;
}

std::optional<std::uint64_t> LocalFileSystem::Size(const std::string& path) const {
    const QFileInfo info(Native(path));
    if (path.empty() || !info.isFile()) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.size());
}

std::string LocalFileSystem::Save(const std::string& path, std::string_view bytes) {
    if (SaveDocumentBytes(path, bytes)) {
        return std::string();
    }
    const QFileInfo info(Native(path));
    if (info.isDir()) {
        return "是文件夹，不能写入";
    }
    if (!info.absoluteDir().exists()) {
        return "文件夹不存在";
    }
    return "无法写入";
}

std::string LocalFileSystem::SavePiece(const std::string& path, std::string_view bytes) {
    // A new file is written in place and removed again if the write fails; an existing one is
    // replaced through a temporary file so that it stays whole until the new one is.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        if (WriteAndClose(fd, bytes)) {
            return std::string();
        }
        const std::string reason = ErrnoReason();
        ::unlink(path.c_str());
        return reason;
    }
    if (errno != EEXIST) {
        return ErrnoReason();
    }
    const std::string temporary = path + ".velmor-part";
    const int replacement =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (replacement < 0) {
        return ErrnoReason();
    }
    if (!WriteAndClose(replacement, bytes) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = ErrnoReason();
        ::unlink(temporary.c_str());
        return reason;
    }
    return std::string();
}

std::string LocalFileSystem::Copy(const std::string& from, const std::string& to) {
    QFile source(Native(from));
    if (!source.open(QIODevice::ReadOnly)) {
        return "无法读取（" + source.errorString().toStdString() + "）";
    }
    // Through a temporary file, so an old copy is replaced only by a complete new one.
    QSaveFile target(Native(to));
    if (!target.open(QIODevice::WriteOnly)) {
        return "无法写入（" + target.errorString().toStdString() + "）";
    }
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = source.read(buffer, sizeof buffer);
        if (got < 0) {
            target.cancelWriting();
            return "无法读取（" + source.errorString().toStdString() + "）";
        }
        if (got == 0) {
            break;
        }
        if (target.write(buffer, got) != got) {
            target.cancelWriting();
            return "无法写入（" + target.errorString().toStdString() + "）";
        }
    }
    if (!target.commit()) {
        return "无法写入（" + target.errorString().toStdString() + "）";
    }
    return std::string();
}

std::string LocalFileSystem::TempDirectory() const {
    return QDir::tempPath().toStdString();
}

}  // namespace velmor
