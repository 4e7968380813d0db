#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "core/Services.h"

namespace velmor {

// Files held in memory for the command tests: paths that are folders, unreadable or
// unwritable can be declared, and every save and copy is counted.
class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, ByteString> files;
    std::set<std::string> unreadable;
    std::set<std::string> unwritable;
    std::set<std::string> folders;
    int saves = 0;
    int copies = 0;
    int scriptFolders = 0;

    // Progress hears of the bytes a mebibyte at a time; a stopped save or copy keeps the old file.
    static bool Tell(std::size_t size, const ByteProgress& progress) {
        constexpr std::size_t kBlock = std::size_t{1} << 20;
        for (std::size_t done = 0; progress && done < size; done += kBlock) {
            if (!progress(std::min(kBlock, size - done))) {
                return false;
            }
        }
        return true;
    }

    ReadResult Read(const std::string& path, std::uint64_t maxBytes,
                    const ByteProgress& progress = {}) const override {
        ReadResult result;
        if (folders.contains(path)) {
            result.reason = "是文件夹，不是文件";
        } else if (unreadable.contains(path)) {
            result.reason = "无法读取";
        } else if (auto found = files.find(path); found == files.end()) {
            result.reason = "文件不存在";
            result.missing = true;
        } else if (found->second.size() > maxBytes) {
            result.reason = "文件太大";
        } else if (!Tell(found->second.size(), progress)) {
            result.reason = "已取消";
        } else {
            result.bytes = found->second;
        }
        return result;
    }
    std::optional<std::uint64_t> Size(const std::string& path) const override {
        const auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional(found->second.size());
    }
    std::string Save(const std::string& path, std::string_view bytes,
                     const ByteProgress& progress = {}) override {
        ++saves;
        if (unwritable.contains(path) || folders.contains(path) || !Tell(bytes.size(), progress)) {
            return "无法写入";
        }
        files[path] = ByteString(bytes);
        return {};
    }
    std::string SavePiece(const std::string& path, std::string_view bytes) override {
        return Save(path, bytes);
    }
    std::string Copy(const std::string& from, const std::string& to,
                     const ByteProgress& progress = {}) override {
        ++copies;
        if (unwritable.contains(to)) {
            return "无法写入";
        }
        if (unreadable.contains(from) || !files.contains(from)) {
            return "无法读取";
        }
        if (!Tell(files[from].size(), progress)) {
            return "无法写入";
        }
        files[to] = files[from];
        return {};
    }
    std::string Identity(const std::string& path) const override {
        return files.contains(path) ? path : std::string();
    }
    // Each script gets a folder of its own, numbered as they come.
    std::string SaveScript(const std::string& fileName, std::string_view bytes,
                           std::string& path) override {
        path = "/run/script" + std::to_string(++scriptFolders) + "/" + fileName;
        return Save(path, bytes);
    }
};

}  // namespace velmor
