#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/EditorAccess.h"

namespace velmor {

class FileDialog;

// The document's file commands: New, Open, Save, Save As, Exit, the recent-file items, dropped
// files and the close request, with the save question before a text is thrown away. Paths
// are document texts (GBK); the file system sees them as UTF-8.
class DocumentController {
public:
    struct Callbacks {
        // Caption of the main window, UTF-8.
        std::function<void(const std::string&)> setCaption;
        std::function<void(const Text&)> addRecentFile;
        // Ends the program; the window must not run CloseRequest for this close.
        std::function<void()> closeWindow;
    };

    DocumentController(EditorAccess& editor, FileDialog& dialog, Callbacks callbacks);

    // Full path of the document's file; empty for an untitled document.
    const Text& CurrentFileName() const { return m_currentFileName; }

    // Asks "文件已经被修改，是否保存？" when the text is modified; true when the user
    // cancelled (the caller must stop), false to go on, also after a failed save.
    bool ConfirmDiscard();
    // Loads the file into the editor; true when it was read.
    bool OpenDocumentFile(const Text& path);
    // Saves to path, or to the current file when none is given (asking for a name when
    // untitled); true only when the user cancelled the file dialog.
    bool SaveDocumentFile(std::optional<Text> path = std::nullopt);

    void New();
    void Open();
    void Save();
    void SaveAs();
    void Exit();
    // A recent-file item was clicked; slotPath is the path its slot holds (may be empty).
    void OpenRecentFile(const Text& slotPath);
    // Files dropped on the window; the first one is loaded and ModifiedFlag cleared.
    void DropFiles(const std::vector<Text>& paths);
    // The window's close box: true when the window may close.
    bool CloseRequest();

private:
    void ClearDocument();
    // Tells the user once when a file loaded only up to a zero byte or 0x1A.
    void WarnIfCut(std::size_t loadedSize, std::size_t fileSize);

    EditorAccess& m_editor;
    FileDialog& m_dialog;
    Callbacks m_callbacks;
    Text m_currentFileName;
    bool m_exiting = false;
};

// Runs one text command and sets ModifiedFlag when the command changed the text, so that
// whole-text commands count as edits for the save question. The file commands stay outside.
void RunTextCommand(MainEditor& editor, const std::function<void()>& command);

}  // namespace velmor
