#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/Text.h"

namespace velmor {

// Paths here are file-system paths in UTF-8. A file is opened, used and closed within one call.

// The whole content of the file; the empty byte string when the path is empty or the file
// cannot be read.
ByteString ReadFileBytes(const std::string& path);
// As ReadFileBytes, but tells a failure (nullopt) from an empty file.
std::optional<ByteString> TryReadFileBytes(const std::string& path);

// Creates the file or empties an existing one and writes the parts one after another; false,
// without a message, when the path is empty or anything fails.
bool WriteFileBytes(const std::string& path, std::initializer_list<std::string_view> parts);

// Saves a document so that no half-written file is ever left: the bytes go to a temporary
// file in the same folder, which then replaces the target (an existing file keeps its
// permissions). False, with any old file untouched, when the path is empty or anything fails.
bool SaveDocumentBytes(const std::string& path, std::string_view bytes);

}  // namespace velmor
