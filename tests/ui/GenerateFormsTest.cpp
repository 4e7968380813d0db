#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "WindowCommandsTestSupport.h"
#include "app/FormDialog.h"
#include "core/TextPrimitives.h"

namespace velmor {
namespace {

class GenerateFormsTest : public ::testing::Test, protected test::CommandsFixture {
protected:
    // Opens the command's dialog from its menu item.
    QWidget& OpenDialog(const char* caption) {
        RunItem(caption);
        QWidget* dialog = Window().Dialogs().Find(caption);
        EXPECT_NE(dialog, nullptr) << caption;
        return *dialog;
    }

    template <class T>
    static T& Child(QWidget& dialog, const char* name) {
        T* widget = dialog.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }

    // Replaces the box's text as typing would.
    static void Retype(QLineEdit& box, const char* text) {
        box.selectAll();
        QTest::keyClicks(&box, QString::fromUtf8(text));
    }

    static void Click(QWidget& dialog, const char* button) {
        QTest::mouseClick(&Child<QPushButton>(dialog, button), Qt::LeftButton);
    }

    static QStringList Row(QTreeWidget& list, int row) {
        QStringList cells;
        for (int column = 0; column < 4; ++column) {
            cells << list.topLevelItem(row)->text(column);
        }
        return cells;
    }

    std::string Document() { return GbkToUtf8(EditorText()); }
};

TEST_F(GenerateFormsTest, VariableTextListIsEditedThroughTheButtons) {
    OpenBound();
    QWidget& dialog = OpenDialog("变量文本");
    auto& list = Child<QTreeWidget>(dialog, "超级列表框1");
    auto& name = Child<QLineEdit>(dialog, "编辑框_名称");
    auto& start = Child<QLineEdit>(dialog, "编辑框_起始");
    auto& end = Child<QLineEdit>(dialog, "编辑框_到达");
    EXPECT_EQ(list.headerItem()->text(2), QStringLiteral("变量到达值"));

    Click(dialog, "按钮_添加");
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0), (QStringList{"{@%0}", "1", "10", "0"}));
    EXPECT_EQ(name.text(), QStringLiteral("{@%1}"));
    EXPECT_FALSE(end.isEnabled());

    Retype(start, "100");
    EXPECT_EQ(end.text(), QStringLiteral("109"));
    Child<QCheckBox>(dialog, "选择框1").click();
    Click(dialog, "按钮_添加");
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(Row(list, 1), (QStringList{"{@%1}", "100", "109", "3"}));

    auto& text = Child<QPlainTextEdit>(dialog, "编辑框_文本");
    text.selectAll();
    QTest::keyClicks(&text, QStringLiteral("{@%0}-{@%1}"));
    QTest::keyClick(&text, Qt::Key_Return);
    Click(dialog, "按钮1");
    std::string expected;
    for (int k = 1; k <= 10; ++k) {
        expected += std::to_string(k) + "-" + std::to_string(99 + k) + "\r\n";
    }
    EXPECT_EQ(Document(), expected);
    EXPECT_EQ(Row(list, 1)[1], QStringLiteral("100"));  // restored after the run

    // Selecting the first row shows it; changing it moves its end with its start.
    list.setCurrentItem(list.topLevelItem(0));
    EXPECT_EQ(name.text(), QStringLiteral("{@%0}"));
    EXPECT_EQ(end.text(), QStringLiteral("10"));
    Retype(start, "5");
    Click(dialog, "按钮_修改");
    EXPECT_EQ(Row(list, 0), (QStringList{"{@%0}", "5", "14", "0"}));

    list.setCurrentItem(list.topLevelItem(1));
    Click(dialog, "按钮_删除");
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0)[0], QStringLiteral("{@%0}"));

    Click(dialog, "按钮_清空");
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_TRUE(end.isEnabled());
    EXPECT_EQ(name.text(), QStringLiteral("{@%0}"));
    EXPECT_EQ(start.text(), QStringLiteral("1"));
    EXPECT_EQ(end.text(), QStringLiteral("50"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "编辑框_补齐").text(), QStringLiteral("3"));
}

TEST_F(GenerateFormsTest, VariableTextWarningsAreAnswered) {
    OpenBound();
    QWidget& dialog = OpenDialog("变量文本");
    test::MessageBoxAnswerer answerer;
    Retype(Child<QLineEdit>(dialog, "编辑框_名称"), "ab");
    Click(dialog, "按钮_添加");
    Retype(Child<QLineEdit>(dialog, "编辑框_名称"), "abc");
    Click(dialog, "按钮_添加");
    Retype(Child<QLineEdit>(dialog, "编辑框_名称"), "abc");
    Click(dialog, "按钮_添加");
    EXPECT_EQ(answerer.Texts(), (QStringList{"变量名称太短！必须大于3个字节！",
                                             "变量名称重复！请使用不同的变量的名称！"}));
    EXPECT_EQ(answerer.Titles(), (QStringList{"警告！", "警告！"}));
    EXPECT_EQ(Child<QTreeWidget>(dialog, "超级列表框1").topLevelItemCount(), 1);
}

TEST_F(GenerateFormsTest, NumberedTextIsOneUndoStep) {
    OpenBound();
    TypeKeys("old");
    QWidget& dialog = OpenDialog("带序号文本");
    Retype(Child<QLineEdit>(dialog, "编辑框_文本左"), "Item");
    Retype(Child<QLineEdit>(dialog, "编辑框_起始号"), "1");
    Retype(Child<QLineEdit>(dialog, "编辑框_文本右"), ".txt");
    Retype(Child<QLineEdit>(dialog, "编辑框_行数"), "3");
    Click(dialog, "按钮1");
    EXPECT_EQ(Document(), "Item1.txt\r\nItem2.txt\r\nItem3.txt\r\n");
    RunItem("&U.撤消");
    EXPECT_EQ(Document(), "old");
}

TEST_F(GenerateFormsTest, StartNumbersTakeTheMinusSignAndCountsDoNot) {
    OpenBound();
    QWidget& numbered = OpenDialog("带序号文本");
    Retype(Child<QLineEdit>(numbered, "编辑框_起始号"), "-2");
    Retype(Child<QLineEdit>(numbered, "编辑框_行数"), "-4");
    EXPECT_EQ(Child<QLineEdit>(numbered, "编辑框_行数").text(), QStringLiteral("4"));
    Click(numbered, "按钮1");
    EXPECT_EQ(Document(), "-2\r\n-1\r\n0\r\n1\r\n");

    QWidget& variable = OpenDialog("变量文本");
    Retype(Child<QLineEdit>(variable, "编辑框_起始"), "-5");
    Retype(Child<QLineEdit>(variable, "编辑框_到达"), "-4");
    Retype(Child<QLineEdit>(variable, "编辑框_补齐"), "-3");
    EXPECT_EQ(Child<QLineEdit>(variable, "编辑框_补齐").text(), QStringLiteral("3"));
    Child<QCheckBox>(variable, "选择框1").click();
    Click(variable, "按钮_添加");
    auto& text = Child<QPlainTextEdit>(variable, "编辑框_文本");
    text.selectAll();
    QTest::keyClicks(&text, QStringLiteral("{@%0},"));
    Click(variable, "按钮1");
    EXPECT_EQ(Document(), "0-5,0-4,");
}

TEST_F(GenerateFormsTest, OversizedNumberedTextShowsTheMessageAndKeepsTheDocument) {
    OpenBound();
    TypeKeys("old");
    QWidget& dialog = OpenDialog("带序号文本");
    test::MessageBoxAnswerer answerer;
    Retype(Child<QLineEdit>(dialog, "编辑框_行数"), "2000000000");
    Click(dialog, "按钮1");
    EXPECT_EQ(answerer.Texts(), QStringList{"生成的文本过大（超过1GB），请减少数量。"});
    EXPECT_EQ(Document(), "old");
}

TEST_F(GenerateFormsTest, AccountRadioButtonsEnableTheirFields) {
    OpenBound();
    QWidget& dialog = OpenDialog("账号密码");
    EXPECT_FALSE(Child<QLineEdit>(dialog, "编辑框1").isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(dialog, "编辑框2").isEnabled());
    Child<QRadioButton>(dialog, "单选框1").click();
    EXPECT_TRUE(Child<QLineEdit>(dialog, "编辑框1").isEnabled());
    EXPECT_FALSE(Child<QLineEdit>(dialog, "编辑框3").isEnabled());
    Child<QRadioButton>(dialog, "单选框5").click();
    EXPECT_TRUE(Child<QLineEdit>(dialog, "编辑框7").isEnabled());
    EXPECT_FALSE(Child<QLineEdit>(dialog, "编辑框4").isEnabled());
    EXPECT_FALSE(Child<QRadioButton>(dialog, "单选框3").isChecked());

    Retype(Child<QLineEdit>(dialog, "编辑框1"), "6");
    Retype(Child<QLineEdit>(dialog, "编辑框7"), "pw");
    Retype(Child<QLineEdit>(dialog, "编辑框8"), "2");
    Click(dialog, "按钮1");
    const TextList lines = TextSplit(EditorText(), "\r\n");
    ASSERT_EQ(lines.size(), 2u);
    for (const Text& line : lines) {
        EXPECT_EQ(line.size(), 6u + 8u + 2u);
        EXPECT_EQ(GbkToUtf8(line.substr(6)), "————pw");
    }
}

TEST_F(GenerateFormsTest, RandomTextWritesTenDigits) {
    OpenBound();
    QWidget& dialog = OpenDialog("随机文本");
    Click(dialog, "按钮1");
    const Text text = EditorText();
    ASSERT_EQ(text.size(), 10u);
    EXPECT_EQ(text.find_first_not_of("0123456789"), Text::npos);
    Child<QRadioButton>(dialog, "单选框_字母").click();
    Click(dialog, "按钮1");
    EXPECT_EQ(
        EditorText().find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
        Text::npos);
}

}  // namespace
}  // namespace velmor
