#include "files/dialogs/ProgressWindow.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>

namespace velmor {

ProgressWindow::ProgressWindow(const std::string& title)
    : m_dialog(new QProgressDialog(QString::fromUtf8("正在处理文件…"), QString::fromUtf8("取消"), 0,
                                   1000)) {
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
    // Byte counts pass what the bar holds: it shows thousandths.
    const std::uint64_t shown = total == 0 ? 0 : std::min(done, total) * 1000 / total;
    m_dialog->setMaximum(1000);
    m_dialog->setValue(static_cast<int>(shown));
    // The steps are bytes and pieces of all files together, so the share done says most.
    m_dialog->setLabelText(QString::fromUtf8("正在处理文件…（%1%）").arg(shown / 10));
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

void ProgressWindow::Finish() {
    if (m_dialog) {
        m_dialog->hide();
    }
}

}  // namespace velmor
