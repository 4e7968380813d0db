#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include "MainWindowTestSupport.h"
#include "app/FormWidgets.h"
#include "app/WindowEditorAccess.h"

namespace velmor {
namespace {

class ParagraphDialogsTest : public ::testing::Test, protected test::WindowFixture {
protected:
    QWidget& OpenDialog(const std::string& caption) {
        MainWindow& window = Window();
        window.CommandAction(caption)->trigger();
        QWidget* dialog = window.Dialogs().Find(caption);
        EXPECT_NE(dialog, nullptr) << caption;
        return *dialog;
    }

    template <class Widget>
    static Widget* Child(QWidget& dialog, const char* name) {
        auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static void Click(QWidget& dialog, const char* name) {
        QTest::mouseClick(Child<QAbstractButton>(dialog, name), Qt::LeftButton);
    }

    static void Type(QWidget& dialog, const char* name, const QString& text) {
        QLineEdit* edit = Child<QLineEdit>(dialog, name);
        edit->setFocus();
        edit->selectAll();
        // One key press per character carrying its text, as an input method sends them.
        for (const QChar character : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
            QApplication::sendEvent(edit, &press);
        }
    }
};

struct FamilyForm {
    const char* caption;
    const char* oddButton;
    bool hasEvery;
};

const FamilyForm kFamily[] = {
    {"删除", "单选框_奇数", true},           {"插入序号文本", "单选框_奇数段", true},
    {"插入固定文本", "单选框_奇数段", true}, {"插入整段", "单选框_奇数段", true},
    {"删除/保留段", "单选框_奇数", false},   {"删除/保留段部分", "单选框_奇数段", true},
};

TEST_F(ParagraphDialogsTest, NumberedTextRunsFromCtrlKAndRewritesTheField) {
    MainWindow& window = Open();
    EXPECT_EQ(window.CommandAction("插入序号文本")->shortcut(), QKeySequence("Ctrl+K"));
    window.Access().ReplaceText("a\r\nb\r\nc\r\nd\r\ne");
    QWidget& dialog = OpenDialog("插入序号文本");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("插入序号文本"));
    Type(dialog, "编辑框1", QStringLiteral(" 1， 3 ,5"));
    Type(dialog, "编辑框_文本左", QStringLiteral("第"));
    Type(dialog, "编辑框_起始号", QStringLiteral("-x1"));  // the box takes only - and digits
    EXPECT_EQ(Child<QLineEdit>(dialog, "编辑框_起始号")->text(), QStringLiteral("-1"));
    Click(dialog, "按钮1");
    EXPECT_EQ(window.Access().ReadText(),
              "\xB5\xDA-1a\r\nb\r\n\xB5\xDA"
              "1c\r\nd\r\n\xB5\xDA"
              "3e\r\n");
    EXPECT_EQ(Child<QLineEdit>(dialog, "编辑框1")->text(), QStringLiteral("1,3,5"));
}

TEST_F(ParagraphDialogsTest, ModeButtonsGovernTheNumberFieldInEveryDialog) {
    Open();
    for (const FamilyForm& form : kFamily) {
        QWidget& dialog = OpenDialog(form.caption);
        auto* field = Child<QLineEdit>(dialog, "编辑框1");
        Type(dialog, "编辑框1", QStringLiteral("2"));
        Click(dialog, form.oddButton);
        EXPECT_FALSE(field->isEnabled()) << form.caption;
        EXPECT_TRUE(field->text().isEmpty()) << form.caption;
        Click(dialog, "单选框_倍数");
        EXPECT_TRUE(field->isEnabled()) << form.caption;
        EXPECT_TRUE(field->text().isEmpty()) << form.caption;
        EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("单选框_每段")) != nullptr,
                  form.hasEvery)
            << form.caption;
        // After a run the field keeps the state of the checked mode.
        Click(dialog, form.hasEvery ? "单选框_每段" : form.oddButton);
        Click(dialog, "按钮1");
        EXPECT_FALSE(field->isEnabled()) << form.caption;
        EXPECT_TRUE(Child<QWidget>(dialog, "单选框_指定")->isEnabled()) << form.caption;
        // Under "指定" every busy control is back after a run, and nothing else is disabled.
        Click(dialog, "单选框_指定");
        Click(dialog, "按钮1");
        for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
            if (IsFormControl(*widget)) {
                EXPECT_TRUE(widget->isEnabled())
                    << form.caption << " " << widget->objectName().toStdString();
            }
        }
    }
}

TEST_F(ParagraphDialogsTest, EveryDisablesThreeSpacePartsButNotAll) {
    MainWindow& window = Open();
    window.Access().ReplaceText(" a \r\n b ");
    QWidget& dialog = OpenDialog("删除");
    Click(dialog, "单选框_段首");
    Click(dialog, "单选框_每段");
    for (const char* part : {"单选框_段首", "单选框_段尾", "单选框_段首尾"}) {
        EXPECT_FALSE(Child<QWidget>(dialog, part)->isEnabled()) << part;
    }
    EXPECT_TRUE(Child<QWidget>(dialog, "单选框_全部")->isEnabled());
    // The disabled part that was checked is the one used.
    Click(dialog, "按钮1");
    EXPECT_EQ(window.Access().ReadText(), "a \r\nb \r\n");
    EXPECT_FALSE(Child<QWidget>(dialog, "单选框_段首")->isEnabled());
    Click(dialog, "单选框_奇数");
    EXPECT_TRUE(Child<QWidget>(dialog, "单选框_段首")->isEnabled());
}

TEST_F(ParagraphDialogsTest, IndentShowsItsCaptionWhenDone) {
    MainWindow& window = Open();
    window.Access().ReplaceText("\xA1\xA1x");
    QWidget& dialog = OpenDialog("段前增减");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("段前空格"));
    Type(dialog, "编辑框1", QStringLiteral("-2"));  // no minus sign in this box
    EXPECT_EQ(Child<QLineEdit>(dialog, "编辑框1")->text(), QStringLiteral("2"));
    Click(dialog, "按钮1");
    EXPECT_EQ(window.Access().ReadText(), "  x\r\n");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("段前空格——调整完毕！"));
}

}  // namespace
}  // namespace velmor
