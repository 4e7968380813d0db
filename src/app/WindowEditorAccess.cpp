#include "app/WindowEditorAccess.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QMessageBox>

namespace velmor {

namespace {

// Beside the title, a title bar holds the frame's icon and buttons.
constexpr int kTitleBarRoom = 150;

// A message box is as wide as its text, so a short text left "信息：" showing as "···" in its
// title bar: the box is kept wide enough for its whole title.
void KeepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const int width = title.horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

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
    KeepTitleWhole(box);
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
