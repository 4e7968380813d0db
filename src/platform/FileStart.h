#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Text.h"

namespace velmor {

// The first bytes of a file and its size, read without reading the rest, so that a loader
// can refuse a file before holding it. Paths are UTF-8.
struct FileStart {
    ByteString bytes;
    std::uint64_t size = 0;
};
// Up to count bytes from the start of the file; nullopt when it cannot be opened or read.
std::optional<FileStart> ReadFileStart(const std::string& path, std::size_t count);

}  // namespace velmor
