#include "app/FileDialog.h"

namespace velmor {

void FileDialog::SetInitialFolderFromPath(const Text& path) {
    // '/' is never a trail byte of a double-byte character, so a byte search is exact.
    const std::size_t slash = path.rfind('/');
    m_initialFolder = slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

}  // namespace velmor
