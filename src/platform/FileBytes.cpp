#include "platform/FileBytes.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace velmor {

namespace {

bool WriteAll(QIODevice& file, std::string_view bytes) {
    const char* data = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

ByteString ReadFileBytes(const std::string& path) {
    return TryReadFileBytes(path).value_or(ByteString());
}

std::optional<ByteString> TryReadFileBytes(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    ByteString bytes;
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

bool WriteFileBytes(const std::string& path, std::initializer_list<std::string_view> parts) {
    if (path.empty()) {
        return false;
    }
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    for (std::string_view part : parts) {
        if (!WriteAll(file, part)) {
            return false;
        }
    }
    return file.flush() && file.error() == QFileDevice::NoError;
}

bool SaveDocumentBytes(const std::string& path, std::string_view bytes) {
    if (path.empty()) {
        return false;
    }
    // No direct-write fallback: in a folder without write access the save fails rather than
    // risk truncating the old file.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!WriteAll(file, bytes)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace velmor
