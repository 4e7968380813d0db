#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include "MainWindowTestSupport.h"
#include "app/FormDialog.h"
#include "core/CodePage936.h"
#include "search/dialogs/SearchForms.h"

namespace velmor {
namespace {

class SearchWindowTest : public ::testing::Test, protected test::WindowFixture {
protected:
    // The window with the search commands bound, as a run binds them.
    MainWindow& Open() {
        MainWindow& window = WindowFixture::Open();
        new SearchWindowCommands(window);
        return window;
    }

    // Runs a menu command; any message box it shows is answered with OK and its text kept.
    void Run(const std::string& caption) {
        QTimer::singleShot(0, [this] { AnswerMessage(); });
        Window().RunCommand(caption);
    }

    void Press(QWidget& dialog, const char* button) {
        QTimer::singleShot(0, [this] { AnswerMessage(); });
        auto* widget = dialog.findChild<QPushButton*>(QString::fromUtf8(button));
        ASSERT_NE(widget, nullptr) << button;
        widget->click();
    }

    static void Type(QWidget& dialog, const char* box, const QString& text) {
        auto* line = dialog.findChild<QLineEdit*>(QString::fromUtf8(box));
        ASSERT_NE(line, nullptr) << box;
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        if (text.isEmpty() || text.front().unicode() < 0x80) {
            QTest::keyClicks(line, text);
            return;
        }
        // Committed as an input method does, so Chinese text arrives as typed text too.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(line, &commit);
    }

    // The selected bytes as the QScintilla buffer holds them.
    Text SelectedBytes() { return Utf8ToGbk(Window().Editor().selectedText().toStdString()); }

    std::vector<std::string> m_messages;

private:
    void AnswerMessage() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            m_messages.push_back(box->windowTitle().toStdString() + " " +
                                 box->text().toStdString());
            box->accept();
        }
    }
};

TEST_F(SearchWindowTest, FindLandsOnTheOccurrenceInTheBuffer) {
    MainWindow& window = Open();
    // A four-byte character, a lone CR, an invalid byte pair and the byte 0x80, which the
    // search takes with the byte after it but the editor positions count alone.
    const Text text =
        "x\x81\x30\x81\x30"
        "ab\rab\xFF\x30"
        "ab\x80"
        "zab";
    window.Access().ReplaceText(text);
    window.Access().SetSelectionStart(0);
    Run("&F.查找");
    QWidget* dialog = window.Dialogs().Find("&F.查找");
    ASSERT_NE(dialog, nullptr);
    Type(*dialog, "编辑框1", QStringLiteral("AB"));
    // Case is told apart by default: nothing is found and the selection stays.
    Press(*dialog, "搜寻下一个按钮");
    ASSERT_EQ(m_messages.size(), 1U);
    EXPECT_EQ(m_messages[0], "错误 未找到更多被搜索的关键字“AB”！");
    dialog->findChild<QCheckBox*>(QStringLiteral("选择框1"))->click();
    for (int k = 0; k < 4; ++k) {
        Run("&N.查找下一个");
        EXPECT_EQ(SelectedBytes(), "ab") << k;
    }
    EXPECT_EQ(m_messages.size(), 1U);
    Run("&N.查找下一个");
    EXPECT_EQ(m_messages.size(), 2U);
    EXPECT_EQ(SelectedBytes(), "ab");
    for (int k = 0; k < 3; ++k) {
        Run("&P.查找上一个");
        EXPECT_EQ(SelectedBytes(), "ab") << k;
    }
    Run("&P.查找上一个");
    EXPECT_EQ(m_messages.size(), 3U);
    EXPECT_EQ(window.Access().ReadText(), text);
}

TEST_F(SearchWindowTest, FindKeepsItsStateAfterTheDialogCloses) {
    MainWindow& window = Open();
    window.Access().ReplaceText("abcabc");
    Run("&F.查找");
    QWidget* dialog = window.Dialogs().Find("&F.查找");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), &window);
    auto* next = dialog->findChild<QPushButton*>(QStringLiteral("搜寻下一个按钮"));
    EXPECT_FALSE(next->isEnabled());
    Type(*dialog, "编辑框1", QStringLiteral("bc"));
    EXPECT_TRUE(next->isEnabled());
    delete dialog;
    window.Access().SetSelectionStart(0);
    Run("&N.查找下一个");
    EXPECT_EQ(window.Access().SelectionStart(), 1);
    Run("&F.查找");
    dialog = window.Dialogs().Find("&F.查找");
    ASSERT_NE(dialog, nullptr);
    next = dialog->findChild<QPushButton*>(QStringLiteral("搜寻下一个按钮"));
    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("编辑框1"));
    EXPECT_EQ(box->text(), QStringLiteral("bc"));
    EXPECT_EQ(box->selectedText(), QStringLiteral("bc"));
    Type(*dialog, "编辑框1", QString());
    EXPECT_FALSE(next->isEnabled());
    Run("&N.查找下一个");
    EXPECT_EQ(window.Access().SelectionStart(), 1);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SearchWindowTest, ReplaceDialogIsOwnedByTheWindowAndReplacesAll) {
    MainWindow& window = Open();
    window.Access().ReplaceText(Utf8ToGbk("中国 Aa 中国"));
    Run("&R.基本替换");
    QWidget* dialog = window.Dialogs().Find("&R.基本替换");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), &window);
    EXPECT_EQ(dialog->size(), QSize(310, 117));
    Type(*dialog, "编辑框1", QStringLiteral("中国"));
    Type(*dialog, "编辑框2", QStringLiteral("华夏"));
    Press(*dialog, "按钮1");
    EXPECT_EQ(GbkToUtf8(window.Access().ReadText()), "华夏 Aa 华夏");
    EXPECT_TRUE(window.Access().ModifiedFlag());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SearchWindowTest, SharedRegexDialogFollowsTheLastMenuItem) {
    MainWindow& window = Open();
    window.Access().ReplaceText("a12b3");
    Run("&Z.正则替换/提取");
    auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Find("&Z.正则替换/提取"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("正则替换/提取"));
    Type(*dialog, "编辑框_正则", QStringLiteral("[0-9]+"));
    Type(*dialog, "编辑框2", QStringLiteral("#"));
    Press(*dialog, "按钮2");
    EXPECT_EQ(window.Access().ReadText(), "a#b#");

    dialog->findChild<QRadioButton*>(QStringLiteral("单选框2"))->click();
    auto* button = dialog->findChild<QPushButton*>(QStringLiteral("按钮2"));
    EXPECT_EQ(button->text(), QStringLiteral("提取"));
    EXPECT_FALSE(dialog->findChild<QLineEdit*>(QStringLiteral("编辑框2"))->isEnabled());

    // The other item while it is open: the same dialog, set up for keeping a position.
    Run("保留指定位置");
    EXPECT_EQ(window.Dialogs().Find("保留指定位置"), nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("保留指定位置"));
    EXPECT_EQ(button->text(), QStringLiteral("删除"));
    EXPECT_TRUE(dialog->findChild<QCheckBox*>(QStringLiteral("选择框1"))->isHidden());
    Type(*dialog, "编辑框_正则", QStringLiteral("2x"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("编辑框_正则"))->text(),
              QStringLiteral("2"));
    Type(*dialog, "编辑框2", QStringLiteral("2"));
    Press(*dialog, "按钮2");
    EXPECT_EQ(window.Access().ReadText(), "a#");

    Run("&Z.正则替换/提取");
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("正则替换/提取"));
    EXPECT_FALSE(dialog->findChild<QCheckBox*>(QStringLiteral("选择框1"))->isHidden());
    // Back in regex mode both boxes take any text again.
    Type(*dialog, "编辑框_正则", QStringLiteral("[a-z]"));
    Type(*dialog, "编辑框2", QStringLiteral("x"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("编辑框_正则"))->text(),
              QStringLiteral("[a-z]"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("编辑框2"))->text(),
              QStringLiteral("x"));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SearchWindowTest, KeepPositionDialogTakesOnlyDigits) {
    MainWindow& window = Open();
    Run("保留指定位置");
    QWidget* dialog = window.Dialogs().Find("保留指定位置");
    ASSERT_NE(dialog, nullptr);
    for (const char* box : {"编辑框_正则", "编辑框2"}) {
        Type(*dialog, box, QStringLiteral("1a-2"));
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QString::fromUtf8(box))->text(),
                  QStringLiteral("12"))
            << box;
    }
}

TEST_F(SearchWindowTest, PathologicalPatternDoesNotHangTheWindow) {
    MainWindow& window = Open();
    window.Access().ReplaceText(Text(3000, 'a'));
    Run("&Z.正则替换/提取");
    QWidget* dialog = window.Dialogs().Find("&Z.正则替换/提取");
    ASSERT_NE(dialog, nullptr);
    Type(*dialog, "编辑框_正则", QStringLiteral("(a*)*b"));
    Press(*dialog, "按钮2");
    EXPECT_EQ(window.Access().ReadText(), Text(3000, 'a'));
    dialog->findChild<QRadioButton*>(QStringLiteral("单选框2"))->click();
    Press(*dialog, "按钮2");
    EXPECT_EQ(window.Access().ReadText(), "");
}

TEST_F(SearchWindowTest, FindFormAgreesWithItsDefinition) {
    MainWindow& window = Open();
    Run("&F.查找");
    auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Find("&F.查找"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->FormDifferences().empty());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("搜寻"));
    EXPECT_EQ(dialog->size(), QSize(301, 135));
}

}  // namespace
}  // namespace velmor
