#include "app/WindowEditorAccess.h"

#include <QMessageBox>

namespace velmor {

MessageAnswer WindowEditorAccess::ShowMessage(MessageKind kind, const std::string& text,
                                              const std::string& title) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    box.setWindowModality(Qt::ApplicationModal);
    switch (kind) {
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageKind::Question:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageKind::Information:
            box.setIcon(QMessageBox::NoIcon);
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    const int pressed = box.exec();
    if (kind != MessageKind::Question) {
        return MessageAnswer::None;
    }
    switch (pressed) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

void WindowEditorAccess::SupportNoticeStep() {
    if (m_noticeStep) {
        m_noticeStep();
    }
}

}  // namespace velmor
