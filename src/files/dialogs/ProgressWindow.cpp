#include "files/dialogs/ProgressWindow.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>

namespace velmor {

ProgressWindow::ProgressWindow(const std::string& title)
    : m_dialog(new QProgressDialog(QString::fromUtf8("正在处理文件…"), QString::fromUtf8("取消"), 0,
                                   100)) {
    m_dialog->setObjectName(QStringLiteral("文件进度"));
    m_dialog->setWindowTitle(QString::fromStdString(title));
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
}

ProgressWindow::~ProgressWindow() {
    delete m_dialog.data();
}

bool ProgressWindow::Step(std::uint64_t done, std::uint64_t total) {
    if (!m_dialog) {
        return false;
    }
    m_dialog->setMaximum(static_cast<int>(std::min<std::uint64_t>(total, INT32_MAX)));
    m_dialog->setValue(static_cast<int>(std::min<std::uint64_t>(done, INT32_MAX)));
    m_dialog->setLabelText(
        QString::fromUtf8("正在处理第 %1 / %2 个文件…").arg(done + 1).arg(total));
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

void ProgressWindow::Finish() {
    if (m_dialog) {
        m_dialog->hide();
    }
}

}  // namespace velmor
