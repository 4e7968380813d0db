#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/BackgroundCommand.h"
#include "app/DialogHost.h"
#include "app/MenuBuilder.h"
#include "app/RecentFilesMenu.h"
#include "app/ScintillaEditor.h"
#include "app/WindowEditorAccess.h"
#include "core/CommandRegistry.h"

namespace velmor {

inline constexpr const char* kMainWindowTitle = "Velmor记事本增强版 V3.0";
inline constexpr const char* kContactTip = "定做软件、提交软件建议或意见，请点击这里！";

// The main window: the menu bar built from the command registry, the editor 编辑框 and the
// contact picture 图片框2. Start-up runs in the constructor; destroying the window stores
// the recent files and closes every dialog. Document handling plugs in through the setters.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // services must outlive the window; its clock and settings are used by start-up.
    explicit MainWindow(Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Binds a window-only command ("&N.新建", "&U.撤消", …) and enables its item.
    void SetWindowHandler(const std::string& caption, std::function<void()> handler);
    // Registers a dialog form with the host and enables its command's item.
    void RegisterDialogForm(const std::string& caption, DialogHost::Factory factory,
                            DialogHost::Owner owner = DialogHost::Owner::None);
    // Asked when the close box is used; the window closes only on true.
    void SetCloseRequest(std::function<bool()> request) { m_closeRequest = std::move(request); }
    // Receives the local paths of files dropped on the window.
    void SetDropHandler(std::function<void(const QStringList&)> handler);
    // Loads a file named on the command line.
    void SetOpenAtStartHandler(std::function<void(const QString&)> handler) {
        m_openAtStart = std::move(handler);
    }
    void openAtStart(const QString& path);
    // Closes without asking the close request ("&X.退出"); the run's window is destroyed
    // on close, which ends the program.
    void CloseWithoutRequest();

    ScintillaEditor& Editor() { return *m_editor; }
    WindowEditorAccess& Access() { return m_access; }
    CommandContext& Context() { return m_context; }
    RecentFilesMenu& RecentFiles() { return *m_recentFiles; }
    DialogHost& Dialogs() { return m_dialogs; }
    const CommandRegistry& Registry() const { return m_registry; }
    // `DaysInUse`, fixed by start-up.
    int DaysInUse() const { return m_daysInUse; }
    // The menu item of a command, by its caption; null for none.
    QAction* CommandAction(const std::string& caption) const;

    // Runs a menu command as its item would; a direct command that changes the text sets
    // ModifiedFlag, so the save question comes before its result is thrown away.
    void RunCommand(const std::string& caption);
    // Runs the commands of large documents on a worker thread.
    BackgroundCommand& Background() { return m_background; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    void RunStartUp();
    void CreateMultiFileWindow();
    void LayOut();
    void UpdateEnabled(const Command& command);
    // A large document's command runs on the worker, unless it needs this thread; so does
    // any command while a cancelled one is still running there.
    bool UsesWorker(const Command& command) const;
    // Runs job as a text command of command, on the worker where it belongs there; false
    // when the user cancelled it.
    bool RunTextJob(const Command& command, const BackgroundCommand::Job& job);
    // A dialog's button: its handler runs as a text job of the dialog's command.
    void PressDialogButton(DialogSession& session, std::string_view button);

    Services& m_services;
    CommandRegistry m_registry;
    ScintillaEditor* m_editor;
    QLabel* m_picture;
    WindowEditorAccess m_access;
    CommandContext m_context;
    DialogHost m_dialogs;
    BackgroundCommand m_background;
    BuiltMenu m_menu;
    RecentFilesMenu* m_recentFiles = nullptr;
    std::map<std::string, std::function<void()>, std::less<>> m_windowHandlers;
    std::function<bool()> m_closeRequest;
    std::function<void(const QStringList&)> m_dropHandler;
    std::function<void(const QString&)> m_openAtStart;
    // The multi-file tools window of start-up, hidden until one of its items shows it.
    QPointer<QWidget> m_multiFileWindow;
    int m_daysInUse = 0;
    bool m_frameFitted = false;
    bool m_closingWithoutRequest = false;
};

}  // namespace velmor
