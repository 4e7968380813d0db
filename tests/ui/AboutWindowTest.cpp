#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>

#include "app/AboutWindow.h"

namespace velmor {
namespace {

TEST(AboutWindowTest, ShowsTheWholeTextInAWindowOfItsOwn) {
    QPointer<AboutWindow> window = AboutWindow::Open();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("关于"));
    EXPECT_EQ(window->size(), QSize(369, 486));
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_TRUE(window->isWindow());

    auto* label = window->findChild<QLabel*>(QStringLiteral("标签1"));
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->wordWrap());
    const QString text = label->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "Velmor记事本为记事本的增强版，作为纯文本处理工具，在记事本的基础增加大小写、全半角转换，"
        "高级替换、正则替换、文本生成等扩展功能。\n\n具体功能如下：\n多文件：\n    "
        "文件合并/拆分\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n    生成随机文本（数字、字母、混合）\n")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("\n    支持保存格式：txt/vbs/ini/htm/html/bat 等\n\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n\n如需定做软件，或提交软件BUG，请联系作者！")));
    EXPECT_EQ(text.count(QLatin1Char('\n')), 33);
    EXPECT_EQ(QString::fromUtf8(kAboutText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
              text);

    // The label fills the window's width; what does not fit below scrolls.
    EXPECT_GE(label->width(), window->width() - 40);

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window) << "a closed About window is gone";
}

TEST(AboutWindowTest, EachOpenIsANewWindow) {
    QPointer<AboutWindow> first = AboutWindow::Open();
    QPointer<AboutWindow> second = AboutWindow::Open();
    EXPECT_NE(first.data(), second.data());
    first->close();
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(AboutWindowTest, TheContactAddressNamesThisProduct) {
    EXPECT_STREQ(kContactUrl, "https://www.velmor-notepad.cn/contact");
}

}  // namespace
}  // namespace velmor
