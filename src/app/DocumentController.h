#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/EditorAccess.h"
#include "core/FileEncoding.h"
#include "platform/DocumentFile.h"

namespace velmor {

class FileDialog;

// A document file read for Open or a drop: how it loaded, and its text as the snapshot the
// editor takes (the decoded text is moved there).
struct OpenedFile {
    LoadedDocument loaded;
    SharedText text;
};
using FileLoad = std::function<OpenedFile()>;

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
        // Runs the load of the file at path (UTF-8); the window runs a large one away from its
        // thread under the progress window and readies the editor for the text. nullopt when
        // the user gave up waiting. Without it the load runs here.
        std::function<std::optional<OpenedFile>(const std::string& path, const FileLoad& load)>
            runLoad;
    };

    DocumentController(EditorAccess& editor, FileDialog& dialog, Callbacks callbacks);

    // Full path of the document's file; empty for an untitled document.
    const Text& CurrentFileName() const { return m_currentFileName; }

    // Asks "文件已经被修改，是否保存？" when the text is modified; true when the user
    // cancelled (the caller must stop), false to go on, also after a failed save.
    bool ConfirmDiscard();
    // The encoding the document's file is saved in: the one it was opened in, GBK for New.
    FileEncoding Encoding() const { return m_encoding; }

    // Loads the file into the editor in encoding, or in the one recognised without one; true
    // when it was read.
    bool OpenDocumentFile(const Text& path, std::optional<FileEncoding> encoding = std::nullopt);
    // Saves to path, or to the current file when none is given (asking for a name when
    // untitled); true only when the user cancelled the file dialog.
    bool SaveDocumentFile(std::optional<Text> path = std::nullopt);
    // The same in the given encoding (the document's becomes it once the file is written).
    bool SaveDocumentFile(std::optional<Text> path, FileEncoding encoding);

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
    // Puts a loaded file's text in the editor.
    void ShowOpened(OpenedFile& opened);
    std::optional<OpenedFile> Load(const Text& path, std::optional<FileEncoding> encoding,
                                   GbkCut cut);
    // Tells the user once when a file loaded only in part, or kept undecodable UTF-16 units.
    void WarnOfLoading(bool cut, bool keptUndecodable);
    void ShowCaption();
    // The bytes to write for the text in the document's encoding; where it cannot hold them,
    // asks whether to save the text as GBK instead (then the encoding becomes GBK). nullopt
    // when the user declined.
    std::optional<ByteString> BytesToSave(const Text& text, FileEncoding& encoding);

    EditorAccess& m_editor;
    FileDialog& m_dialog;
    Callbacks m_callbacks;
    Text m_currentFileName;
    FileEncoding m_encoding = FileEncoding::Gbk;
    // The path the caption shows (empty when it shows none).
    std::string m_captionPath;
    bool m_exiting = false;
};

// Runs one text command and sets ModifiedFlag when the command changed the text, so that
// whole-text commands count as edits for the save question. The file commands stay outside.
void RunTextCommand(MainEditor& editor, const std::function<void()>& command);

}  // namespace velmor
