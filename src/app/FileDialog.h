#pragma once

#include <optional>
#include <string>

#include "core/FileEncoding.h"

#include "core/Text.h"

namespace velmor {

// The document's file types as pairs of description and pattern separated by "|".
inline constexpr const char* kDocumentFileFilter =
    "文本文件(*.txt)|*.txt|配置文件(*.ini)|*.ini|BAT文件(*.bat)|*.bat|VBS文件(*.vbs)|*.vbs|"
    "网页(*.htm)|*.htm|网页(*.html)|*.html|所有文件(*.*)|*.*";
inline constexpr const char* kDocumentDefaultSuffix = "txt";

// The first item of the open dialog's encoding list: the file's encoding is recognised.
inline constexpr const char* kAutomaticEncoding = "自动识别";

enum class FileDialogKind { Open, Save };

// The window's file dialog. The file name and the initial folder carry over from one use to
// the next; both are document texts (GBK). The filter is kDocumentFileFilter, its first pair
// preselected, and a name without suffix gets kDocumentDefaultSuffix. Its encoding list
// offers kAutomaticEncoding (open only) and every FileEncoding.
class FileDialog {
public:
    virtual ~FileDialog() = default;

    // Shows the dialog starting from FileName and InitialFolder (title in UTF-8). When the
    // user confirms, FileName becomes the chosen full path and true is returned.
    virtual bool Show(FileDialogKind kind, const std::string& title) = 0;

    const Text& FileName() const { return m_fileName; }
    void SetFileName(Text fileName) { m_fileName = std::move(fileName); }
    // The encoding the list shows when the dialog opens and, after a confirmed Show, the one
    // chosen; nullopt is kAutomaticEncoding (recognition), which a save dialog never offers.
    std::optional<FileEncoding> Encoding() const { return m_encoding; }
    void SetEncoding(std::optional<FileEncoding> encoding) { m_encoding = encoding; }
    const Text& InitialFolder() const { return m_initialFolder; }
    void SetInitialFolder(Text folder) { m_initialFolder = std::move(folder); }
    // The folder becomes the path up to and including its last "/", or empty without one.
    void SetInitialFolderFromPath(const Text& path);

private:
    Text m_fileName;
    Text m_initialFolder;
    std::optional<FileEncoding> m_encoding;
};

}  // namespace velmor
