#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest/QTest>

#include "MainWindowTestSupport.h"

namespace velmor {
namespace {

template <class T>
T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// What the user does: pick an item, or replace a box's text by typing.
void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void Type(QLineEdit* line, const QString& text) {
    line->selectAll();
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(line, &press);
    }
}

class CodecLineBreakWindowTest : public ::testing::Test, protected test::WindowFixture {
protected:
    QWidget& OpenDialog(const char* caption) {
        QAction* action = Open().CommandAction(caption);
        EXPECT_TRUE(action->isEnabled());
        action->trigger();
        QWidget* dialog = Window().Dialogs().Find(caption);
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }
    void Press(QWidget& dialog, const char* button = "按钮1") {
        QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
    }
    Text Document() { return Window().Editor().ReadText(); }
    void SetDocument(const Text& text) { Window().Editor().ReplaceText(text); }
};

TEST_F(CodecLineBreakWindowTest, CodecFieldsShowAndHideWithTheCodec) {
    QWidget& dialog = OpenDialog("编码/解码");
    auto* codecs = Child<QComboBox>(dialog, "组合框_编解码方式");
    auto* tabs = Child<QTabWidget>(dialog, "选择夹1");
    auto* encode = Child<QRadioButton>(dialog, "单选框_加密");
    auto* decode = Child<QRadioButton>(dialog, "单选框_解密");
    EXPECT_TRUE(tabs->isHidden());
    QTest::mouseClick(decode, Qt::LeftButton);
    Choose(codecs, 2);
    EXPECT_FALSE(tabs->isHidden());
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_FALSE(encode->isEnabled());
    EXPECT_FALSE(decode->isEnabled());
    Choose(codecs, 1);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(decode->isEnabled());
    EXPECT_TRUE(decode->isChecked());
    Choose(codecs, 0);
    EXPECT_TRUE(tabs->isHidden());

    // A second open brings the same dialog to the front.
    Window().CommandAction("编码/解码")->trigger();
    EXPECT_EQ(Window().Dialogs().Find("编码/解码"), &dialog);
}

TEST_F(CodecLineBreakWindowTest, CodecExamplesRunFromTheDialog) {
    QWidget& dialog = OpenDialog("编码/解码");
    auto* codecs = Child<QComboBox>(dialog, "组合框_编解码方式");
    auto* count = Child<QLineEdit>(dialog, "编辑框_处理次数");
    auto* decode = Child<QRadioButton>(dialog, "单选框_解密");
    auto* encode = Child<QRadioButton>(dialog, "单选框_加密");

    Choose(codecs, 3);
    SetDocument(
        "\xD6\xD0"
        "A");
    Press(dialog);
    EXPECT_EQ(Document(), "D6D041");
    QTest::mouseClick(decode, Qt::LeftButton);
    SetDocument("d6d041");
    Press(dialog);
    EXPECT_EQ(Document(),
              "\xD6\xD0"
              "A");

    Choose(codecs, 0);
    Type(count, QStringLiteral("2"));
    SetDocument("YWJj");
    QTest::mouseClick(encode, Qt::LeftButton);
    Press(dialog);
    EXPECT_EQ(Document(), "V1ZkS2FnPT0=");
    QTest::mouseClick(decode, Qt::LeftButton);
    Press(dialog);
    EXPECT_EQ(Document(), "YWJj");
    SetDocument("YQ");
    Type(count, QStringLiteral("1"));
    Press(dialog);
    EXPECT_EQ(Document(), "a");

    Choose(codecs, 1);
    Child<QPlainTextEdit>(dialog, "编辑框_密钥")->setPlainText(QStringLiteral("密钥\n2"));
    QTest::mouseClick(encode, Qt::LeftButton);
    SetDocument("\xD6\xD0\xCE\xC4");
    Press(dialog);
    EXPECT_EQ(Document().size(), 12u);
    QTest::mouseClick(decode, Qt::LeftButton);
    Press(dialog);
    EXPECT_EQ(Document(), "\xD6\xD0\xCE\xC4");

    Choose(codecs, 2);
    Type(count, QStringLiteral("5"));
    Choose(Child<QComboBox>(dialog, "组合框_U码转换的类型"), 3);
    SetDocument("&#x4e2d;&#65;BC");
    Press(dialog);
    EXPECT_EQ(Document(),
              "\xD6\xD0"
              "A");
}

TEST_F(CodecLineBreakWindowTest, LineBreakDialogsRunTheirExamples) {
    QWidget& change = OpenDialog("连续换行符数量变更");
    SetDocument("a\r\n\r\n\r\n\r\n\r\nb\r\n\r\n");
    Press(change);
    EXPECT_EQ(Document(), "a\r\n\r\n\r\n\r\nb");
    Type(Child<QLineEdit>(change, "编辑框_被"), QStringLiteral("1"));
    Press(change);
    EXPECT_EQ(Document(), "a\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nb");

    QWidget& split = OpenDialog("分割文本");
    Type(Child<QLineEdit>(split, "编辑框1"), QStringLiteral("，"));
    SetDocument(
        "a\xA3\xAC"
        "b\xA3\xAC");
    Press(split);
    EXPECT_EQ(Document(), "a\r\nb\r\n");

    SetDocument("a\r\n\r\n\r\nb");
    Window().CommandAction("多换行符变单换行符")->trigger();
    EXPECT_EQ(Document(), "a\r\nb");
}

}  // namespace
}  // namespace velmor
