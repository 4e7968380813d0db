#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QShowEvent>
#include <QUrl>
#include <algorithm>

#include "app/DocumentController.h"
#include "core/DialogFields.h"
#include "core/UsageDays.h"
#include "files/dialogs/BatchWindow.h"

// Resources of a static library must be registered by name, outside any namespace.
static void InitResources() {
    Q_INIT_RESOURCE(app);
}

namespace velmor {

namespace {

constexpr QPoint kPosition(50, 50);
constexpr QSize kOuterSize(636, 498);
constexpr int kPictureSize = 21;
// Outer width − 15 less outer width − 21 − 35; outer height − 58 less outer height − 21 − 80.
constexpr int kPictureRight = 41;
constexpr int kPictureBottom = 43;

}  // namespace

MainWindow::MainWindow(Services& services, QWidget* parent)
    : QMainWindow(parent),
      m_services(services),
      m_registry(BuildCommandRegistry()),
      m_editor(new ScintillaEditor),
      m_picture(new QLabel),
      m_access(*m_editor),
      m_context{m_access, services},
      m_dialogs(*this, m_context),
      m_background(*this) {
    InitResources();
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromUtf8(kMainWindowTitle));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    m_editor->setParent(client);
    m_editor->setObjectName(QStringLiteral("编辑框"));
    m_picture->setParent(client);
    m_picture->setObjectName(QStringLiteral("图片框2"));
    m_picture->setPixmap(QPixmap(QStringLiteral(":/velmor/contact.png")));
    m_picture->setFixedSize(kPictureSize, kPictureSize);
    m_picture->setCursor(Qt::PointingHandCursor);
    m_picture->raise();
    client->installEventFilter(this);

    // Whole-text commands count as edits for the save question, whether run from the menu
    // or from a dialog's button.
    m_dialogs.SetActionRunner(
        [this](const std::function<void()>& action) { RunTextCommand(m_access, action); });
    m_dialogs.SetPressRunner([this](DialogSession& session, std::string_view button) {
        PressDialogButton(session, button);
    });
    RegisterDialogForms(m_dialogs);
    BuildMenu();
    // A large result is converted into a widget document of its own on the worker and swapped
    // in, so that the window is not held up converting it once the progress window closes.
    m_background.SetPreparation([editor = m_editor](const SharedText& text) {
        std::shared_ptr<PreparedDocument> prepared = editor->PrepareSnapshot(text);
        prepared->Build();
        std::function<void()> offer;
        if (prepared->Built()) {
            offer = [editor, prepared] { editor->OfferPrepared(prepared); };
        }
        return offer;
    });

    move(kPosition);
    resize(kOuterSize);
    LayOut();
    RunStartUp();
}

MainWindow::~MainWindow() {
    m_dialogs.CloseAll();
    delete m_multiFileWindow.data();
    if (m_services.settings != nullptr) {
        m_recentFiles->Save(*m_services.settings);
    }
}

void MainWindow::BuildMenu() {
    m_menu = BuildMenuBar(*menuBar(), MainMenuLayout(), m_registry);
    for (const auto& [caption, action] : m_menu.commands) {
        connect(action, &QAction::triggered, this, [this, name = caption] { RunCommand(name); });
        if (const Command* command = m_registry.FindByCaption(caption)) {
            UpdateEnabled(*command);
        }
    }
    m_recentFiles = new RecentFilesMenu(m_menu.recentFiles, m_menu.recentSeparator, this);
}

void MainWindow::RunStartUp() {
    if (m_services.settings != nullptr && m_services.clock != nullptr) {
        m_daysInUse = RecordFirstUse(*m_services.settings, *m_services.clock);
    }
    m_picture->setToolTip(QString::fromUtf8(kContactTip));
    setAcceptDrops(true);
    if (m_services.settings != nullptr) {
        m_recentFiles->Load(*m_services.settings);
    }
    CreateMultiFileWindow();
}

// The multi-file tools' window, hidden; the "多文件" items only show it.
void MainWindow::CreateMultiFileWindow() {
    m_multiFileWindow = CreateBatchWindow(*this);
}

void MainWindow::UpdateEnabled(const Command& command) {
    const auto found = m_menu.commands.find(command.caption);
    if (found == m_menu.commands.end()) {
        return;
    }
    const bool bound = m_windowHandlers.contains(command.caption) ||
                       (!command.windowOnly && command.run) ||
                       (command.dialog != nullptr && m_dialogs.Has(command.caption));
    found->second->setEnabled(bound);
}

void MainWindow::SetWindowHandler(const std::string& caption, std::function<void()> handler) {
    m_windowHandlers[caption] = std::move(handler);
    if (const Command* command = m_registry.FindByCaption(caption)) {
        UpdateEnabled(*command);
    }
}

void MainWindow::RegisterDialogForm(const std::string& caption, DialogHost::Factory factory,
                                    DialogHost::Owner owner) {
    m_dialogs.Register(caption, std::move(factory), owner);
    if (const Command* command = m_registry.FindByCaption(caption)) {
        UpdateEnabled(*command);
    }
}

void MainWindow::SetDropHandler(std::function<void(const QStringList&)> handler) {
    m_dropHandler = std::move(handler);
}

QAction* MainWindow::CommandAction(const std::string& caption) const {
    const auto found = m_menu.commands.find(caption);
    return found == m_menu.commands.end() ? nullptr : found->second;
}

void MainWindow::RunCommand(const std::string& caption) {
    const Command* command = m_registry.FindByCaption(caption);
    if (command == nullptr) {
        return;
    }
    if (const auto handler = m_windowHandlers.find(caption); handler != m_windowHandlers.end()) {
        // A copy: the handler may rebind itself or destroy the window.
        const std::function<void()> run = handler->second;
        const bool notice = command->supportNotice;
        QPointer<MainWindow> alive(this);
        run();
        if (notice && alive) {
            m_access.SupportNoticeStep();
        }
        return;
    }
    if (!command->windowOnly && command->run) {
        RunTextJob(*command, [direct = *command](CommandContext& context) {
            CommandRegistry::RunDirect(direct, context);
        });
        return;
    }
    if (command->dialog != nullptr && m_dialogs.Open(caption) != nullptr &&
        command->supportNotice) {
        m_access.SupportNoticeStep();
    }
}

bool MainWindow::UsesWorker(const Command& command) const {
    return !command.needsUiThread &&
           (m_background.Busy() || m_access.ReadSnapshot().Size() >= kBackgroundTextBytes);
}

bool MainWindow::RunTextJob(const Command& command, const BackgroundCommand::Job& job) {
    if (!UsesWorker(command)) {
        RunTextCommand(m_access, [&] { job(m_context); });
        return true;
    }
    BackgroundCommand::Outcome outcome = BackgroundCommand::Outcome::Cancelled;
    RunTextCommand(m_access,
                   [&] { outcome = m_background.Run(command.Name(), m_access, m_services, job); });
    return outcome == BackgroundCommand::Outcome::Finished;
}

void MainWindow::PressDialogButton(DialogSession& session, std::string_view button) {
    const DialogDefinition& definition = session.Definition();
    const auto owner = std::find_if(m_registry.All().begin(), m_registry.All().end(),
                                    [&](const Command& c) { return c.dialog == &definition; });
    if (owner == m_registry.All().end() || !UsesWorker(*owner)) {
        RunTextCommand(m_access, [&] { session.Press(button); });
        return;
    }
    // As the session's own press: only an enabled button, and only its handler.
    const Control* control = session.Fields().Find(button);
    const auto handler = definition.onPress.find(button);
    if (control == nullptr || !control->enabled || control->kind != ControlKind::Button ||
        handler == definition.onPress.end() || !handler->second) {
        return;
    }
    // The handler works on a copy of the fields, which the dialog shows only if it finished.
    auto fields = std::make_shared<DialogFields>(session.Fields());
    const bool finished = RunTextJob(
        *owner,
        [fields, press = handler->second](CommandContext& context) { press(*fields, context); });
    if (finished) {
        session.Fields() = std::move(*fields);
    }
}

void MainWindow::openAtStart(const QString& path) {
    if (m_openAtStart) {
        m_openAtStart(path);
    }
}

// The editor fills the client area; the picture keeps the offset from the editor's lower
// right corner that the original window's frame-compensated numbers gave.
void MainWindow::LayOut() {
    const QSize client = centralWidget()->size();
    m_editor->setGeometry(0, 0, client.width(), client.height());
    m_picture->setGeometry(client.width() - kPictureRight, client.height() - kPictureBottom,
                           kPictureSize, kPictureSize);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        LayOut();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_frameFitted) {
        return;
    }
    m_frameFitted = true;
    // The frame is known only once shown; the outer size is the one that is fixed.
    const QSize frame = frameGeometry().size() - size();
    if (!frame.isNull()) {
        resize(kOuterSize - frame);
    }
}

void MainWindow::CloseWithoutRequest() {
    m_closingWithoutRequest = true;
    close();
    m_closingWithoutRequest = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_closingWithoutRequest && m_closeRequest && !m_closeRequest()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (m_dropHandler && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile());
        }
    }
    if (m_dropHandler && !paths.isEmpty()) {
        event->acceptProposedAction();
        m_dropHandler(paths);
    }
}

}  // namespace velmor
