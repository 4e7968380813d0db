#include "app/DocumentController.h"

#include "app/FileDialog.h"
#include "core/CodePage936.h"
#include "core/DocumentEncoding.h"
#include "platform/DocumentFile.h"
#include "platform/FileBytes.h"

namespace velmor {

namespace {

constexpr const char* kProgramCaption = "Velmor记事本增强版";
constexpr const char* kLoadedOnlyPart =
    "文件中含有0字节或文件结束符(0x1A)，只载入了其前面的内容；保存将截去其后的内容。";

constexpr const char* kKeptUndecodable =
    "文件含有无法解码的UTF-16内容（单独的代理项或多出的一个字节），已按原字节保留在文本中；"
    "不改动这些内容，保存时会原样写回。";
constexpr const char* kUtf16TooLarge = "文件太大：超过1GB的UTF-16文件无法打开。";

std::string CannotHoldQuestion(FileEncoding encoding) {
    const std::string name = EncodingName(encoding);
    return "文本中含有" + name + "无法表示的字节（无效的GBK双字节或单独的前导字节），按" + name +
           "保存会丢失它们。\n是否改为按GBK原样保存？选“否”或“取消”则不保存。";
}

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
    m_encoding = FileEncoding::Gbk;
}

void DocumentController::ShowCaption() {
    if (!m_callbacks.setCaption) {
        return;
    }
    if (m_captionPath.empty()) {
        m_callbacks.setCaption(kProgramCaption);
        return;
    }
    std::string caption = std::string(kProgramCaption) + " - " + m_captionPath;
    if (m_encoding != FileEncoding::Gbk) {
        caption += std::string(" [") + EncodingName(m_encoding) + "]";
    }
    m_callbacks.setCaption(caption);
}

bool DocumentController::OpenDocumentFile(const Text& path, std::optional<FileEncoding> encoding) {
    ClearDocument();
    LoadedDocument loaded = LoadDocumentFile(FileSystemPath(path), encoding, GbkCut::Opened);
    if (loaded.status != LoadedDocument::Status::Loaded) {
        m_editor.ShowMessage(
            MessageKind::Error,
            loaded.status == LoadedDocument::Status::TooLarge ? kUtf16TooLarge : "打开文件失败！",
            kErrorTitle);
        m_captionPath.clear();
        ShowCaption();
        return false;
    }
    // The file's buffer becomes the document: no copy of a large file beside the editor's.
    m_editor.ReplaceText(std::move(loaded.decoded.text));
    // Loading is not an edit, whatever the editor makes of a whole-text replacement.
    m_editor.SetModifiedFlag(false);
    m_currentFileName = path;
    m_encoding = loaded.encoding;
    m_captionPath = FileSystemPath(path);
    ShowCaption();
    WarnOfLoading(loaded.decoded.cut, loaded.decoded.keptUndecodable);
    return true;
}

void DocumentController::WarnOfLoading(bool cut, bool keptUndecodable) {
    // Saving writes only what was loaded, so the user must know the rest is not there.
    if (cut) {
        m_editor.ShowMessage(MessageKind::Information, kLoadedOnlyPart, kInformationTitle);
    }
    if (keptUndecodable) {
        m_editor.ShowMessage(MessageKind::Information, kKeptUndecodable, kInformationTitle);
    }
}

std::optional<ByteString> DocumentController::BytesToSave(const Text& text,
                                                          FileEncoding& encoding) {
    if (std::optional<ByteString> bytes = EncodeDocument(text, encoding)) {
        return bytes;
    }
    if (m_editor.ShowMessage(MessageKind::Question, CannotHoldQuestion(encoding), kQuestionTitle) !=
        MessageAnswer::Yes) {
        return std::nullopt;
    }
    encoding = FileEncoding::Gbk;
    return text;
}

bool DocumentController::SaveDocumentFile(std::optional<Text> path) {
    return SaveDocumentFile(std::move(path), m_encoding);
}

bool DocumentController::SaveDocumentFile(std::optional<Text> path, FileEncoding encoding) {
    Text target = path.value_or(m_currentFileName);
    if (target.empty()) {
        m_dialog.SetEncoding(encoding);
        if (!m_dialog.Show(FileDialogKind::Save, "请输入欲保存到的文本文件名：")) {
            return true;
        }
        target = m_dialog.FileName();
        encoding = m_dialog.Encoding().value_or(encoding);
        m_dialog.SetInitialFolderFromPath(target);
    }
    m_editor.ConfirmText();
    // GBK is the document's own bytes: they are written from its pieces, with no whole copy.
    std::optional<ByteString> encoded;
    if (encoding != FileEncoding::Gbk) {
        encoded = BytesToSave(m_editor.ReadText(), encoding);
        if (!encoded) {
            // Nothing was written: whatever asked for the save must not go on as if it had been.
            return true;
        }
    }
    const bool wasModified = m_editor.ModifiedFlag();
    m_editor.SetModifiedFlag(false);
    bool saved = false;
    if (encoded) {
        saved = SaveDocumentBytes(FileSystemPath(target), *encoded);
    } else {
        const SharedText text = m_editor.ReadSnapshot();
        std::vector<std::string_view> parts;
        parts.reserve(text.Pieces().size());
        for (const SharedText::Chunk& chunk : text.Pieces()) {
            parts.push_back(chunk.Bytes());
        }
        saved = SaveDocumentBytes(FileSystemPath(target), parts);
    }
    if (!saved) {
        // The text is not on disk, so the save question must still come before it is lost.
        m_editor.SetModifiedFlag(wasModified);
        m_editor.ShowMessage(MessageKind::Error, "保存文件失败！", kErrorTitle);
        return false;
    }
    m_currentFileName = target;
    if (encoding != m_encoding) {
        m_encoding = encoding;
        ShowCaption();
    }
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
    m_dialog.SetEncoding(std::nullopt);
    if (!m_dialog.Show(FileDialogKind::Open, "请输入欲打开的文本文件名：")) {
        return;
    }
    const Text path = m_dialog.FileName();
    if (OpenDocumentFile(path, m_dialog.Encoding()) && m_callbacks.addRecentFile) {
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
    m_dialog.SetEncoding(m_encoding);
    if (m_dialog.Show(FileDialogKind::Save, "请输入欲另存到的文本文件名：")) {
        SaveDocumentFile(m_dialog.FileName(), m_dialog.Encoding().value_or(m_encoding));
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
    LoadedDocument loaded =
        LoadDocumentFile(FileSystemPath(paths.front()), std::nullopt, GbkCut::Dropped);
    if (loaded.status == LoadedDocument::Status::TooLarge) {
        m_editor.ShowMessage(MessageKind::Error, kUtf16TooLarge, kErrorTitle);
    }
    m_editor.ReplaceText(std::move(loaded.decoded.text));
    m_encoding = loaded.encoding;
    // As after Open: the text is the file's, so the save question must not offer to write
    // it back over the file, which may hold more than was loaded.
    m_editor.SetModifiedFlag(false);
    WarnOfLoading(loaded.decoded.cut, loaded.decoded.keptUndecodable);
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
