#pragma once

#include <string>
#include <string_view>

namespace velmor {

// Writes a script into a folder made fresh for it, which only this user may enter (mode 0700,
// checked to be owned by this user), under the user's runtime folder or else the temporary
// folder: nobody else can plant a link there or change the script before it runs. path gets
// the script's full path; returns the empty reason on success, else a short UTF-8 reason.
std::string WriteScriptFile(const std::string& fileName, std::string_view bytes, std::string& path);

}  // namespace velmor
