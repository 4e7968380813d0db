#include "app/SupportNoticeWindow.h"

#include <QFontMetrics>

#include "ui_SupportNoticeWindow.h"

namespace velmor {

namespace {

constexpr const char* kGapLinePrefix = "本软件为免费使用，您已经安装并使用本软件";
constexpr const char* kDayGap = "         ";

QString ForLabel(const char* text) {
    return QString::fromUtf8(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

}  // namespace

const char* const kSupportNoticeText =
    "本软件为免费使用，您已经安装并使用本软件         天，欢迎指正本软件BUG，对本软件提供建议、"
    "意见，或提供额外的纯文本处理方式，或对本工作室予以赞助！\r\n\r\n\r\n\r\n以便本软件更好的发展。"
    "如您未有如上意愿，也请抱有感激之情使用，谢谢！";

const char* const kSupportContactLine = "联系与赞助：请通过“帮助”菜单中的联系方式与我们联系。";

SupportNoticeWindow::SupportNoticeWindow(int daysInUse, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::SupportNoticeWindow>()) {
    m_ui->setupUi(this);
    setFixedSize(369, 149);
    setWindowModality(Qt::ApplicationModal);
    m_ui->标签1->setText(ForLabel(kSupportNoticeText));
    m_ui->标签_天->setText(QString::number(daysInUse));
    m_ui->标签2->setText(QString::fromUtf8(kSupportContactLine));
    PlaceOverlays();
}

SupportNoticeWindow::~SupportNoticeWindow() = default;

void SupportNoticeWindow::ShowBlocking(int daysInUse) {
    SupportNoticeWindow window(daysInUse);
    window.exec();
}

void SupportNoticeWindow::PlaceOverlays() {
    const QRect text = m_ui->标签1->geometry();
    const QFontMetrics metrics(m_ui->标签1->font());
    const QString prefix = QString::fromUtf8(kGapLinePrefix);
    const int gapWidth = metrics.horizontalAdvance(QString::fromUtf8(kDayGap));
    m_ui->标签_天->setGeometry(text.x() + metrics.horizontalAdvance(prefix), text.y(), gapWidth,
                               metrics.height());

    // The blank lines after the first paragraph leave room for the contact line.
    const QString firstParagraph = ForLabel(kSupportNoticeText).section(QLatin1Char('\n'), 0, 0);
    const int paragraphHeight =
        metrics.boundingRect(QRect(0, 0, text.width(), 1000), Qt::TextWordWrap, firstParagraph)
            .height();
    m_ui->标签2->setGeometry(text.x(), text.y() + paragraphHeight + metrics.lineSpacing(),
                             text.width(), metrics.height());
}

}  // namespace velmor
