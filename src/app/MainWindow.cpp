#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QShowEvent>
#include <QUrl>

#include "app/DocumentController.h"
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
      m_dialogs(*this, m_context) {
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
    RegisterDialogForms(m_dialogs);
    BuildMenu();

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
        RunTextCommand(m_access, [&] { CommandRegistry::RunDirect(*command, m_context); });
        return;
    }
    if (command->dialog != nullptr && m_dialogs.Open(caption) != nullptr &&
        command->supportNotice) {
        m_access.SupportNoticeStep();
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
