#pragma once

#include <string>

#include "core/Text.h"

namespace velmor {

// The document's file types as pairs of description and pattern separated by "|".
inline constexpr const char* kDocumentFileFilter =
    "文本文件(*.txt)|*.txt|配置文件(*.ini)|*.ini|BAT文件(*.bat)|*.bat|VBS文件(*.vbs)|*.vbs|"
    "网页(*.htm)|*.htm|网页(*.html)|*.html|所有文件(*.*)|*.*";
inline constexpr const char* kDocumentDefaultSuffix = "txt";

enum class FileDialogKind { Open, Save };

// The window's file dialog. The file name and the initial folder carry over from one use to
// the next; both are document texts (GBK). The filter is kDocumentFileFilter, its first pair
// preselected, and a name without suffix gets kDocumentDefaultSuffix.
class FileDialog {
public:
    virtual ~FileDialog() = default;

    // Shows the dialog starting from FileName and InitialFolder (title in UTF-8). When the
    // user confirms, FileName becomes the chosen full path and true is returned.
    virtual bool Show(FileDialogKind kind, const std::string& title) = 0;

    const Text& FileName() const { return m_fileName; }
    void SetFileName(Text fileName) { m_fileName = std::move(fileName); }
    const Text& InitialFolder() const { return m_initialFolder; }
    void SetInitialFolder(Text folder) { m_initialFolder = std::move(folder); }
    // The folder becomes the path up to and including its last "/", or empty without one.
    void SetInitialFolderFromPath(const Text& path);

private:
    Text m_fileName;
    Text m_initialFolder;
};

}  // namespace velmor
