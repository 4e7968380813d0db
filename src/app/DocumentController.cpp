#include "app/DocumentController.h"

#include "app/FileDialog.h"
#include "core/CodePage936.h"
#include "core/DocumentLoading.h"
#include "platform/FileBytes.h"

namespace velmor {

namespace {

constexpr const char* kProgramCaption = "Velmor记事本增强版";
constexpr const char* kLoadedOnlyPart =
    "文件中含有0字节或文件结束符(0x1A)，只载入了其前面的内容；保存将截去其后的内容。";

std::string FileSystemPath(const Text& path) {
    return GbkToUtf8(path);
}

}  // namespace

DocumentController::DocumentController(EditorAccess& editor, FileDialog& dialog,
                                       Callbacks callbacks)
    : m_editor(editor), m_dialog(dialog), m_callbacks(std::move(callbacks)) {}

bool DocumentController::ConfirmDiscard() {
    if (!m_editor.ModifiedFlag()) {
        return false;
    }
    switch (
        m_editor.ShowMessage(MessageKind::Question, "文件已经被修改，是否保存？", kQuestionTitle)) {
        case MessageAnswer::Yes:
            return SaveDocumentFile();
        case MessageAnswer::No:
            return false;
        default:
            return true;
    }
}

void DocumentController::ClearDocument() {
    m_editor.ReplaceText(Text());
    m_editor.SetModifiedFlag(false);
    m_currentFileName.clear();
}

bool DocumentController::OpenDocumentFile(const Text& path) {
    ClearDocument();
    std::optional<ByteString> bytes = TryReadFileBytes(FileSystemPath(path));
    if (!bytes) {
        m_editor.ShowMessage(MessageKind::Error, "打开文件失败！", kErrorTitle);
        if (m_callbacks.setCaption) {
            m_callbacks.setCaption(kProgramCaption);
        }
        return false;
    }
    // The file's buffer becomes the document: no copy of a large file beside the editor's.
    const std::size_t fileSize = bytes->size();
    Text text = CutOpenedFileBytes(std::move(*bytes));
    const std::size_t loadedSize = text.size();
    m_editor.ReplaceText(std::move(text));
    // Loading is not an edit, whatever the editor makes of a whole-text replacement.
    m_editor.SetModifiedFlag(false);
    m_currentFileName = path;
    if (m_callbacks.setCaption) {
        m_callbacks.setCaption(std::string(kProgramCaption) + " - " + FileSystemPath(path));
    }
    WarnIfCut(loadedSize, fileSize);
    return true;
}

void DocumentController::WarnIfCut(std::size_t loadedSize, std::size_t fileSize) {
    // Saving writes only what was loaded, so the user must know the rest is not there.
    if (loadedSize < fileSize) {
        m_editor.ShowMessage(MessageKind::Information, kLoadedOnlyPart, kInformationTitle);
    }
}

bool DocumentController::SaveDocumentFile(std::optional<Text> path) {
    Text target = path.value_or(m_currentFileName);
    if (target.empty()) {
        if (!m_dialog.Show(FileDialogKind::Save, "请输入欲保存到的文本文件名：")) {
            return true;
        }
        target = m_dialog.FileName();
        m_dialog.SetInitialFolderFromPath(target);
    }
    const bool wasModified = m_editor.ModifiedFlag();
    m_editor.SetModifiedFlag(false);
    // Written from the document's own pieces: no whole copy of a large text.
    const SharedText text = m_editor.ReadSnapshot();
    std::vector<std::string_view> parts;
    parts.reserve(text.Pieces().size());
    for (const SharedText::Chunk& chunk : text.Pieces()) {
        parts.push_back(chunk.Bytes());
    }
    if (!SaveDocumentBytes(FileSystemPath(target), parts)) {
        // The text is not on disk, so the save question must still come before it is lost.
        m_editor.SetModifiedFlag(wasModified);
        m_editor.ShowMessage(MessageKind::Error, "保存文件失败！", kErrorTitle);
        return false;
    }
    m_currentFileName = target;
    if (m_callbacks.addRecentFile) {
        m_callbacks.addRecentFile(target);
    }
    return false;
}

void DocumentController::New() {
    if (ConfirmDiscard()) {
        return;
    }
    ClearDocument();
}

void DocumentController::Open() {
    if (ConfirmDiscard()) {
        return;
    }
    if (!m_dialog.Show(FileDialogKind::Open, "请输入欲打开的文本文件名：")) {
        return;
    }
    const Text path = m_dialog.FileName();
    if (OpenDocumentFile(path) && m_callbacks.addRecentFile) {
        m_callbacks.addRecentFile(path);
    }
    m_dialog.SetInitialFolderFromPath(path);
}

void DocumentController::Save() {
    if (!m_currentFileName.empty()) {
        SaveDocumentFile(m_currentFileName);
    } else {
        SaveAs();
    }
}

void DocumentController::SaveAs() {
    if (m_dialog.Show(FileDialogKind::Save, "请输入欲另存到的文本文件名：")) {
        SaveDocumentFile(m_dialog.FileName());
    }
    m_dialog.SetInitialFolderFromPath(m_dialog.FileName());
}

void DocumentController::Exit() {
    if (ConfirmDiscard()) {
        return;
    }
    m_exiting = true;
    if (m_callbacks.closeWindow) {
        m_callbacks.closeWindow();
    }
}

void DocumentController::OpenRecentFile(const Text& slotPath) {
    if (ConfirmDiscard()) {
        return;
    }
    if (!slotPath.empty()) {
        OpenDocumentFile(slotPath);
    }
}

void DocumentController::DropFiles(const std::vector<Text>& paths) {
    if (paths.empty()) {
        return;
    }
    m_currentFileName = paths.front();
    ByteString bytes = ReadFileBytes(FileSystemPath(paths.front()));
    const std::size_t fileSize = bytes.size();
    Text text = CutDroppedFileBytes(std::move(bytes));
    const std::size_t loadedSize = text.size();
    m_editor.ReplaceText(std::move(text));
    // As after Open: the text is the file's, so the save question must not offer to write
    // it back over the file, which may hold more than was loaded.
    m_editor.SetModifiedFlag(false);
    WarnIfCut(loadedSize, fileSize);
}

bool DocumentController::CloseRequest() {
    if (m_exiting || m_editor.ReadSnapshot().Empty()) {
        return true;
    }
    return !ConfirmDiscard();
}

void RunTextCommand(MainEditor& editor, const std::function<void()>& command) {
    // Snapshots share the editor's chunks: an untouched text compares by one pointer.
    const SharedText before = editor.ReadSnapshot();
    command();
    if (!(editor.ReadSnapshot() == before)) {
        editor.SetModifiedFlag(true);
    }
}

}  // namespace velmor
