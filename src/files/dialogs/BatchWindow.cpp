#include "files/dialogs/BatchWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>

#include "app/FileDialog.h"
#include "app/FileDialogBox.h"
#include "app/MainWindow.h"
#include "core/CodePage936.h"
#include "ui_BatchWindow.h"

namespace velmor {

namespace {

constexpr BatchTab kTabs[] = {BatchTab::MergeSplit, BatchTab::HeadTail, BatchTab::Encoding};

QStringList ChooseFilesWithDialog(QWidget& parent) {
    QFileDialog dialog(&parent, QString::fromUtf8("请选择要添加的文件："));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    PrepareFileDialog(dialog, kDocumentFileFilter);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

std::optional<QString> ChooseFolderWithDialog(QWidget& parent) {
    const QString folder =
        QFileDialog::getExistingDirectory(&parent, QString::fromUtf8("请选择保存目录："));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

BatchWindow::BatchWindow(BatchTab tab, CommandContext& context, const DialogHost& host)
    : FormDialog(BatchWindowDefinition(tab), context, host),
      m_choosers{ChooseFilesWithDialog, ChooseFolderWithDialog} {
    Ui::BatchWindow form;
    form.setupUi(this);
    Bind();
    for (BatchTab listTab : kTabs) {
        auto* add = findChild<QPushButton*>(QString::fromStdString(FileListOf(listTab).add));
        connect(add, &QPushButton::clicked, this, [this, listTab] { AddFiles(listTab); });
        // Each tab's action button is the default while its tab shows.
        SetDefaultButton(BatchWindowDefinition(listTab).actionButton);
    }
    connect(findChild<QPushButton*>(QStringLiteral("按钮5")), &QPushButton::clicked, this,
            [this] { ChooseOutputFolder(); });
}

void BatchWindow::ShowTab(BatchTab tab) {
    Session().Fields().At(kBatchTabControl).currentIndex = static_cast<int>(tab);
    ShowFields();
    show();
    raise();
    activateWindow();
}

void BatchWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void BatchWindow::AddFiles(BatchTab tab) {
    const std::string list = FileListOf(tab).list;
    for (const QString& path : m_choosers.files(*this)) {
        Session().AppendListItem(list, Utf8ToGbk(QDir::toNativeSeparators(path).toStdString()));
    }
    ShowFields();
}

void BatchWindow::ChooseOutputFolder() {
    // A cancelled choice keeps the folder: an empty path would name the root of the disk.
    const std::optional<QString> folder = m_choosers.folder(*this);
    if (!folder) {
        return;
    }
    QString path = QDir::toNativeSeparators(*folder);
    if (!path.endsWith(QDir::separator())) {
        path += QDir::separator();
    }
    Session().SetEditText("编辑框_目录1", Utf8ToGbk(path.toStdString()));
    ShowFields();
}

BatchWindow* CreateBatchWindow(MainWindow& window) {
    auto* batch = new BatchWindow(BatchTab::MergeSplit, window.Context(), window.Dialogs());
    for (BatchTab tab : kTabs) {
        window.SetWindowHandler(BatchTabCommand(tab), [batch, tab] { batch->ShowTab(tab); });
    }
    return batch;
}

}  // namespace velmor
