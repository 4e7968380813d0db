#include "app/WindowCommands.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <filesystem>

#include "app/AboutWindow.h"
#include "app/DocumentPrinter.h"
#include "app/FontDialog.h"
#include "app/MainWindow.h"
#include "app/SupportNoticeWindow.h"
#include "core/CodePage936.h"
#include "search/dialogs/SearchForms.h"

namespace velmor {

namespace {

constexpr const char* kAboutCaption = "&A.关于...";
constexpr const char* kUndoCaption = "&U.撤消";
constexpr const char* kRedoCaption = "重做";
constexpr const char* kEditMenu = "&E.编辑";
constexpr const char* kOpenCaption = "&O.打开";

Text DocumentPath(const QString& path) {
    return Utf8ToGbk(path.toStdString());
}

QStringList LocalFiles(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile());
        }
    }
    return paths;
}

}  // namespace

WindowCommands::WindowCommands(MainWindow& window, std::unique_ptr<FileDialog> fileDialog)
    : QObject(&window),
      m_window(window),
      m_editor(&window.Editor()),
      m_fileDialog(std::move(fileDialog)),
      m_documents(
          window.Access(), *m_fileDialog,
          {[this](const std::string& caption) {
               m_window.setWindowTitle(QString::fromStdString(caption));
           },
           [this](const Text& path) { m_window.RecentFiles().AddRecentFile(path); },
           [this] { m_window.CloseWithoutRequest(); },
           [this](const std::string& path, const FileLoad& load) { return RunLoad(path, load); }}),
      m_history(window.Editor()),
      m_notice(window.DaysInUse()),
      m_printSetup([this](QPrinter& printer) {
          QPrintDialog dialog(&printer, &m_window);
          return dialog.exec() == QDialog::Accepted;
      }),
      m_openContact(&OpenContactPage),
      m_font(window.Editor().TextFont()),
      m_color(window.Editor().TextColor()) {
    m_history.Attach();
    window.Access().SetSupportNoticeStep([this] {
        m_notice.Step([this] { SupportNoticeWindow::ShowBlocking(m_notice.DaysInUse()); });
    });
    BindFileCommands();
    BindEditCommands();
    BindFormatAndHelpCommands();
    // Find keeps its keyword for the run and acts on the window's selection.
    new SearchWindowCommands(window);
}

WindowCommands::~WindowCommands() {
    // The editor usually goes first, with the window; if not, it must not call back here.
    if (m_editor) {
        m_editor->SetChangeListener({});
        m_editor->viewport()->removeEventFilter(this);
    }
}

void WindowCommands::BindFileCommands() {
    m_window.SetWindowHandler("&N.新建", [this] { m_documents.New(); });
    m_window.SetWindowHandler(kOpenCaption, [this] { m_documents.Open(); });
    // Save runs the notice step itself; the window's step after it finds the notice decided.
    m_window.SetWindowHandler("&S.保存", [this] { m_documents.Save(); });
    m_window.SetWindowHandler("&A.另存为", [this] { m_documents.SaveAs(); });
    m_window.SetWindowHandler("&P.打印", [this] { Print(); });
    m_window.SetWindowHandler("&X.退出", [this] { m_documents.Exit(); });
    m_window.RecentFiles().SetOpenHandler([this](int slot) {
        m_documents.OpenRecentFile(m_window.RecentFiles().Model().Slot(slot));
    });
    m_window.SetCloseRequest([this] { return m_documents.CloseRequest(); });
    m_window.SetDropHandler([this](const QStringList& paths) { DropPaths(paths); });
    m_window.SetOpenAtStartHandler([this](const QString& path) { OpenAtStart(path); });
    // The editor fills the window, so files dropped on the window land on the editor.
    m_editor->viewport()->installEventFilter(this);
}

void WindowCommands::BindEditCommands() {
    m_window.SetWindowHandler(kUndoCaption, [this] { StepHistory(kUndoCaption); });
    m_window.SetWindowHandler(kRedoCaption, [this] { StepHistory(kRedoCaption); });
    m_window.SetWindowHandler("&X.剪切", [this] { m_editor->cut(); });
    m_window.SetWindowHandler("&C.复制", [this] { m_editor->copy(); });
    m_window.SetWindowHandler("&P.粘贴", [this] { m_editor->paste(); });
    m_window.SetWindowHandler("&A.全选", [this] { m_editor->selectAll(true); });
    // The editor's right-click menu is the Edit menu itself: its captions, and undo and redo
    // through this window's history rather than the editor widget's own.
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (auto* edit = m_window.menuBar()->findChild<QMenu*>(QString::fromUtf8(kEditMenu))) {
            edit->popup(m_editor->viewport()->mapToGlobal(at));
        }
    });
}

void WindowCommands::StepHistory(const char* caption) {
    const bool undo = std::string_view(caption) == kUndoCaption;
    const SharedText* target =
        m_history.Slot(undo ? UndoHistory::kCurrent - 1 : UndoHistory::kCurrent + 1);
    // A large state is made ready on the worker, under the progress window after half a
    // second, and swapped in whole; a cancel leaves the text and the history as they were.
    if (target != nullptr && target->Size() >= kBackgroundTextBytes) {
        std::shared_ptr<PreparedDocument> prepared = m_editor->PrepareSnapshot(*target);
        const Command* command = m_window.Registry().FindByCaption(caption);
        const BackgroundCommand::Outcome outcome = m_window.Background().Run(
            command != nullptr ? command->Name() : caption, m_window.Access(),
            m_window.Context().services, [prepared](CommandContext&) { prepared->Build(); });
        if (outcome == BackgroundCommand::Outcome::Cancelled) {
            return;
        }
        m_editor->OfferPrepared(std::move(prepared));
    }
    // Undo and Redo write a snapshot back; a different text is an edit for the save question.
    RunTextCommand(m_window.Access(), [&] { undo ? m_history.Undo() : m_history.Redo(); });
}

std::optional<OpenedFile> WindowCommands::RunLoad(const std::string& path, const FileLoad& load) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size < kBackgroundTextBytes) {
        return load();
    }
    // Read, cut into the mirror's chunks and converted into a widget document on the worker,
    // under the progress window after half a second; the window then only swaps it in.
    struct Result {
        OpenedFile file;
        std::shared_ptr<PreparedDocument> prepared;
    };
    auto result = std::make_shared<Result>();
    const Command* command = m_window.Registry().FindByCaption(kOpenCaption);
    const BackgroundCommand::Outcome outcome = m_window.Background().Run(
        command != nullptr ? command->Name() : kOpenCaption, m_window.Access(),
        m_window.Context().services, [result, load, editor = m_editor.data()](CommandContext&) {
            result->file = load();
            if (result->file.loaded.status != LoadedDocument::Status::Loaded) {
                return;
            }
            // Well-formed UTF-8 kept as it is goes into the document as the file's bytes.
            const DecodedDocument& decoded = result->file.loaded.decoded;
            result->prepared =
                decoded.fileBytes
                    ? editor->PrepareUtf8(std::string_view(*decoded.fileBytes)
                                              .substr(decoded.utf8Start, decoded.utf8Length))
                    : editor->PrepareSnapshot(result->file.text);
            result->prepared->Build();
        });
    if (outcome == BackgroundCommand::Outcome::Cancelled) {
        return std::nullopt;
    }

    if (result->prepared) {
        m_editor->OfferPrepared(std::move(result->prepared));
    }
    return std::move(result->file);
}

void WindowCommands::BindFormatAndHelpCommands() {
    m_window.SetWindowHandler("&W.自动换行", [this] { ToggleWordWrap(); });
    m_window.SetWindowHandler("&F.字体", [this] { ChooseFont(); });
    m_window.Dialogs().Register(kAboutCaption, [](CommandContext&) { return new AboutWindow; });
    m_window.SetWindowHandler(kAboutCaption, [this] { m_window.Dialogs().Open(kAboutCaption); });
    if (auto* picture = m_window.findChild<QLabel*>(QStringLiteral("图片框2"))) {
        picture->installEventFilter(this);
    }
}

void WindowCommands::OpenAtStart(const QString& path) {
    // The caption and the recent list show full paths, whatever the command line gave.
    const Text document = DocumentPath(QFileInfo(path).absoluteFilePath());
    if (m_documents.OpenDocumentFile(document)) {
        m_window.RecentFiles().AddRecentFile(document);
    }
    m_fileDialog->SetInitialFolderFromPath(document);
}

void WindowCommands::DropPaths(const QStringList& paths) {
    std::vector<Text> documents;
    for (const QString& path : paths) {
        documents.push_back(DocumentPath(path));
    }
    m_documents.DropFiles(documents);
}

bool WindowCommands::FilterEditorDrop(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = LocalFiles(*drop->mimeData());
    if (paths.isEmpty()) {
        return false;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        DropPaths(paths);
    }
    return true;
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* event) {
    if (m_editor && watched == m_editor->viewport()) {
        return FilterEditorDrop(event);
    }
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        watched->objectName() == QStringLiteral("图片框2")) {
        if (m_openContact) {
            m_openContact();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void WindowCommands::ToggleWordWrap() {
    const Text text = m_window.Access().ReadText();
    m_editor->SetWordWrap(!m_editor->WordWrap());
    m_window.Access().ReplaceText(text);
}

void WindowCommands::ChooseFont() {
    FontDialog dialog(&m_window);
    dialog.SetCurrentFont(m_font);
    dialog.SetCurrentColor(m_color);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_font = dialog.CurrentFont();
    m_color = dialog.CurrentColor();
    m_editor->SetTextFont(m_font);
    m_editor->SetTextColor(m_color);
}

void WindowCommands::Print() {
    QPrinter printer(QPrinter::HighResolution);
    if (!m_printSetup || !m_printSetup(printer)) {
        return;
    }
    // A failed job gives no message.
    DocumentPrinter::PrintTo(printer, m_window.Access().ReadText(), m_editor->TextFont());
}

}  // namespace velmor
