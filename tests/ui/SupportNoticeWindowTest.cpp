#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

#include "app/SupportNoticeWindow.h"
#include "core/SupportNotice.h"

namespace velmor {
namespace {

QLabel* LabelOf(QWidget& window, const char* name) {
    return window.findChild<QLabel*>(QString::fromUtf8(name));
}

// Closes the modal window once it is up, the way the user's close box would.
void CloseNoticeWhenShown(int* seen, int* days) {
    QTimer::singleShot(0, [seen, days] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* notice = qobject_cast<SupportNoticeWindow*>(modal)) {
            ++*seen;
            *days = LabelOf(*notice, "标签_天")->text().toInt();
            notice->close();
        }
    });
}

TEST(SupportNoticeWindowTest, ShowsTheTextAndTheDaysOverTheGap) {
    SupportNoticeWindow window(37);
    EXPECT_EQ(window.size(), QSize(369, 149));
    EXPECT_FALSE(window.windowTitle().isEmpty());
    EXPECT_TRUE(window.findChildren<QAbstractButton*>().isEmpty());

    QLabel* text = LabelOf(window, "标签1");
    QLabel* days = LabelOf(window, "标签_天");
    QLabel* contact = LabelOf(window, "标签2");
    ASSERT_TRUE(text && days && contact);
    EXPECT_EQ(
        text->text(),
        QStringLiteral("本软件为免费使用，您已经安装并使用本软件         天，欢迎指正本软件BUG，"
                       "对本软件提供建议、意见，或提供额外的纯文本处理方式，或对本工作室予以"
                       "赞助！\n\n\n\n以便本软件更好的发展。如您未有如上意愿，也请抱有感激"
                       "之情使用，谢谢！"));
    EXPECT_EQ(days->text(), QStringLiteral("37"));
    EXPECT_FALSE(contact->text().isEmpty());
    EXPECT_FALSE(contact->text().contains(QLatin1Char('\n')));

    const QFontMetrics metrics(text->font());
    const int gapStart =
        text->x() +
        metrics.horizontalAdvance(QStringLiteral("本软件为免费使用，您已经安装并使用本软件"));
    EXPECT_EQ(days->x(), gapStart);
    EXPECT_EQ(days->y(), text->y());
    EXPECT_EQ(days->width(), metrics.horizontalAdvance(QStringLiteral("         ")));
    EXPECT_LE(days->geometry().right(), text->geometry().right());
    EXPECT_GT(contact->y(), text->y());
    EXPECT_LT(contact->geometry().bottom(), window.height());
}

TEST(SupportNoticeWindowTest, TheStepOpensABlockingWindowOnItsDaysOnly) {
    struct Row {
        int days;
        int windows;
    };
    const Row rows[] = {{0, 0}, {5, 1}, {7, 0}, {10, 1}, {100, 1}, {101, 1}};
    for (const Row& row : rows) {
        SupportNotice notice(row.days);
        int seen = 0;
        int shownDays = -1;
        for (int step = 0; step < 2; ++step) {
            CloseNoticeWhenShown(&seen, &shownDays);
            notice.Step([&] { SupportNoticeWindow::ShowBlocking(notice.DaysInUse()); });
            QApplication::processEvents();
        }
        EXPECT_EQ(seen, row.windows) << "days " << row.days;
        if (row.windows > 0) {
            EXPECT_EQ(shownDays, row.days);
        }
    }
}

TEST(SupportNoticeWindowTest, BlocksTheWholeApplication) {
    SupportNoticeWindow window(5);
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
}

}  // namespace
}  // namespace velmor
