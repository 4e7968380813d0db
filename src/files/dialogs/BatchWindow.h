#pragma once

#include <QStringList>
#include <functional>
#include <optional>

#include "app/FormDialog.h"
#include "files/BatchWindow.h"

namespace velmor {

class MainWindow;

// The batch window "文件批量操作": its form bound like any dialog's, plus what only a window
// can do (choosing files and the output folder). Closing hides it, so its lists stay.
class BatchWindow : public FormDialog {
    Q_OBJECT

public:
    // The files chosen for a list (empty when cancelled) and the output folder (none when
    // cancelled); the platform dialogs unless a test puts its own.
    struct Choosers {
        std::function<QStringList(QWidget&)> files;
        std::function<std::optional<QString>(QWidget&)> folder;
    };

    BatchWindow(BatchTab tab, CommandContext& context, const DialogHost& host);

    // Shows the window, in front, on the tab.
    void ShowTab(BatchTab tab);
    void SetChoosers(Choosers choosers) { m_choosers = std::move(choosers); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AddFiles(BatchTab tab);
    void ChooseOutputFolder();

    Choosers m_choosers;
};

// Start-up: the one batch window of the run, hidden, with the three "多文件" items showing it
// on their tab. The window belongs to no parent; the caller deletes it.
BatchWindow* CreateBatchWindow(MainWindow& window);

}  // namespace velmor
