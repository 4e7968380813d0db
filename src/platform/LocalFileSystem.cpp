#include "platform/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/FileBytes.h"

namespace velmor {

namespace {

QString Native(const std::string& path) {
    return QString::fromStdString(path);
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
