#pragma once

#include "core/Services.h"

namespace velmor {

// The multi-file tools' files on the local disk: whole-file reads of regular files only, with
// a size limit checked before anything is allocated; saves and copies through ReplaceFile.
class LocalFileSystem : public FileSystem {
public:
    ReadResult Read(const std::string& path, std::uint64_t maxBytes,
                    const ByteProgress& progress = {}) const override;
    std::optional<std::uint64_t> Size(const std::string& path) const override;
    std::string Save(const std::string& path, std::string_view bytes,
                     const ByteProgress& progress = {}) override;
    std::string SavePiece(const std::string& path, std::string_view bytes) override;
    std::string Copy(const std::string& from, const std::string& to,
                     const ByteProgress& progress = {}) override;
    std::string Identity(const std::string& path) const override;
    std::string SaveScript(const std::string& fileName, std::string_view bytes,
                           std::string& path) override;
};

}  // namespace velmor
