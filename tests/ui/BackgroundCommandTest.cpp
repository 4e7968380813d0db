#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "WindowCommandsTestSupport.h"
#include "app/FormDialog.h"
#include "core/MemoryEditor.h"

namespace velmor {
namespace {

using namespace std::chrono_literals;

const std::string kLate = "\xE5\x90\x8E";     // 后 in UTF-8
const std::string kLateOld = "\xE5\xBE\x8C";  // 後
const Text kLateGbk = "\xBA\xF3";             // 后
const Text kLateOldGbk = "\xE1\xE1";          // 後

// Lines of lower-case letters and Chinese, just over the size that sends commands to the
// worker.
Text LargeText() {
    Text text;
    const Text line = "abc xyz " + kLateGbk + "\xD6\xD0 q\r\n";
    while (text.size() <= kBackgroundTextBytes) {
        text += line;
    }
    return text;
}

// Turns 后 into 後, but only once released (or after ten seconds), so that a test can cancel
// a run that is still going.
class HeldConverter : public ChineseConverter {
public:
    std::string ToSimplified(std::string_view utf8) const override { return std::string(utf8); }
    std::string ToTraditional(std::string_view utf8) const override {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (!m_released && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(2ms);
        }
        std::string result(utf8);
        for (std::size_t at = result.find(kLate); at != std::string::npos;
             at = result.find(kLate, at)) {
            result.replace(at, kLate.size(), kLateOld);
        }
        return result;
    }
    void Release() { m_released = true; }

private:
    std::atomic<bool> m_released = false;
};

// Clicks the cancel of the command progress window once it shows (or only watches it),
// noting its title.
class ProgressCanceller {
public:
    enum class Then { Cancel, Wait };
    explicit ProgressCanceller(Then then = Then::Cancel) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, then] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress == nullptr || !progress->isVisible() ||
                progress->objectName() != QStringLiteral("命令进度")) {
                return;
            }
            if (m_titles.isEmpty() || then == Then::Cancel) {
                m_titles << progress->windowTitle();
            }
            if (then == Then::Cancel) {
                progress->findChild<QPushButton*>()->click();
            }
        });
        m_timer.start();
    }
    const QStringList& Titles() const { return m_titles; }

private:
    QTimer m_timer;
    QStringList m_titles;
};

class BackgroundCommandTest : public ::testing::Test, protected test::CommandsFixture {
protected:
    // The same command run on the in-memory editor, as the batch runner runs it.
    Text DirectResult(const char* caption, const Text& text) {
        MemoryEditor editor(text);
        CommandContext context{editor, TestServices()};
        CommandRegistry::RunDirect(*Window().Registry().FindByCaption(caption), context);
        return editor.TakeText();
    }
    std::string WidgetText() {
        ScintillaEditor& editor = Window().Editor();
        const auto* data = static_cast<const char*>(
            editor.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
        return std::string(data,
                           std::size_t(editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH)));
    }
    void WaitWhileBusy() {
        const auto until = std::chrono::steady_clock::now() + 15s;
        while (Window().Background().Busy() && std::chrono::steady_clock::now() < until) {
            QApplication::processEvents();
            std::this_thread::sleep_for(5ms);
        }
        ASSERT_FALSE(Window().Background().Busy());
    }
};

TEST_F(BackgroundCommandTest, ALargeDocumentsCommandRunsOnTheWorkerAsOneUndoStep) {
    MainWindow& window = OpenBound();
    const Text text = LargeText();
    window.Editor().ReplaceText(text);
    window.Editor().SetModifiedFlag(false);
    window.Editor().SetSelectionStart(7);

    // The result is converted into a widget document of its own on the worker and swapped in.
    const long document = window.Editor().SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER);
    RunItem("到大写");
    EXPECT_EQ(window.Background().Runs(), 1);
    EXPECT_NE(window.Editor().SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER), document);
    const Text upper = EditorText();
    EXPECT_TRUE(upper == DirectResult("到大写", text));
    EXPECT_TRUE(WidgetText() == GbkToUtf8(upper));
    EXPECT_EQ(upper.substr(0, 4), "ABC ");
    EXPECT_TRUE(window.Editor().ModifiedFlag());
    EXPECT_EQ(window.Editor().SelectionStart(), 7);

    // Undo and Redo of a large text make it ready on the worker and swap it in whole.
    RunItem("&U.撤消");
    EXPECT_EQ(window.Background().Runs(), 2);
    EXPECT_TRUE(EditorText() == text);
    EXPECT_TRUE(WidgetText() == GbkToUtf8(text));
    RunItem("重做");
    EXPECT_EQ(window.Background().Runs(), 3);
    EXPECT_TRUE(EditorText() == upper);
    EXPECT_TRUE(WidgetText() == GbkToUtf8(upper));
    EXPECT_EQ(window.Editor().SelectionStart(), 7);
    // The swapped-in document edits like any other.
    TypeKeys("q");
    EXPECT_TRUE(WidgetText() == GbkToUtf8(EditorText()));
    RunItem("&U.撤消");
    EXPECT_TRUE(EditorText() == upper);

    // A command that changes nothing leaves the flag as it was, as on this thread.
    window.Editor().SetModifiedFlag(false);
    RunItem("到大写");
    EXPECT_EQ(window.Background().Runs(), 5);
    EXPECT_FALSE(window.Editor().ModifiedFlag());
}

TEST_F(BackgroundCommandTest, ASmallDocumentNeverUsesTheWorker) {
    MainWindow& window = OpenBound();
    window.Editor().ReplaceText(Text(kBackgroundTextBytes - 1, 'a'));
    RunItem("到大写");
    EXPECT_EQ(EditorText(), Text(kBackgroundTextBytes - 1, 'A'));
    auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Open("变量文本"));
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QPushButton*>(QStringLiteral("按钮_添加"))->click();
    EXPECT_EQ(dialog->findChild<QTreeWidget*>()->topLevelItemCount(), 1);
    EXPECT_EQ(window.Background().Runs(), 0);
}

TEST_F(BackgroundCommandTest, ACommandThatNeedsTheWindowThreadStaysThere) {
    MainWindow& window = OpenBound();
    window.Editor().ReplaceText(LargeText());
    test::MessageBoxAnswerer answerer;
    auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Open("取网址源码"));
    ASSERT_NE(dialog, nullptr);
    DialogSession& session = dialog->Session();
    window.Dialogs().RunPress(session, session.Definition().actionButton);
    EXPECT_EQ(window.Background().Runs(), 0);
}

TEST_F(BackgroundCommandTest, TheWorkersMessagesAreShownAndAnsweredByTheWindow) {
    MainWindow& window = OpenBound();
    test::MessageBoxAnswerer answerer;
    answerer.Press(QMessageBox::No);
    answerer.Press(QMessageBox::Yes);
    std::vector<MessageAnswer> answers;
    std::thread::id worker;
    const auto outcome = window.Background().Run(
        "询问", window.Access(), TestServices(), [&](CommandContext& context) {
            worker = std::this_thread::get_id();
            for (int i = 0; i < 2; ++i) {
                answers.push_back(
                    context.editor.ShowMessage(MessageKind::Question, "继续？", kQuestionTitle));
            }
            answers.push_back(context.editor.ShowMessage(MessageKind::Error, "坏", kErrorTitle));
        });
    EXPECT_EQ(outcome, BackgroundCommand::Outcome::Finished);
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_EQ(answers, (std::vector{MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::None}));
    EXPECT_EQ(answerer.Texts(), (QStringList{"继续？", "继续？", "坏"}));
    EXPECT_EQ(answerer.Titles().back(), QString::fromUtf8(kErrorTitle));
}

TEST_F(BackgroundCommandTest, AFailingJobWritesNothingAndFailsHere) {
    MainWindow& window = OpenBound();
    window.Editor().ReplaceText("abc");
    window.Editor().SetModifiedFlag(false);
    EXPECT_THROW(window.Background().Run("失败", window.Access(), TestServices(),
                                         [](CommandContext& context) {
                                             context.editor.ReplaceText(Text("xyz"));
                                             context.editor.SetModifiedFlag(true);
                                             throw std::runtime_error("broken");
                                         }),
                 std::runtime_error);
    EXPECT_EQ(EditorText(), "abc");
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    EXPECT_FALSE(window.Background().Busy());
}

TEST_F(BackgroundCommandTest, ADialogButtonOnALargeDocumentWarnsAndUpdatesItsFields) {
    MainWindow& window = OpenBound();
    const Text text = LargeText();
    window.Editor().ReplaceText(text);
    auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Open("变量文本"));
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("编辑框_名称"));
    auto* add = dialog->findChild<QPushButton*>(QStringLiteral("按钮_添加"));
    test::MessageBoxAnswerer answerer;

    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, QStringLiteral("ab"));
    add->click();
    EXPECT_EQ(answerer.Texts(), QStringList{"变量名称太短！必须大于3个字节！"});
    EXPECT_EQ(dialog->findChild<QTreeWidget*>()->topLevelItemCount(), 0);

    QTest::keyClicks(name, QStringLiteral("cd"));
    add->click();
    EXPECT_EQ(dialog->findChild<QTreeWidget*>()->topLevelItemCount(), 1);
    EXPECT_EQ(dialog->Session().Fields().At("超级列表框1").rows.size(), 1u);
    EXPECT_EQ(window.Background().Runs(), 2);
    EXPECT_TRUE(EditorText() == text);
}

TEST_F(BackgroundCommandTest, CancelLeavesTheDocumentFlagAndHistoryUntouched) {
    HeldConverter converter;
    TestServices().chinese = &converter;
    MainWindow& window = OpenBound();
    const Text before = LargeText();
    const Text text = before + "x";
    window.Editor().ReplaceText(before);
    window.Editor().ReplaceText(text);
    window.Editor().SetModifiedFlag(false);
    {
        ProgressCanceller canceller;
        RunItem("到繁体");
        // An undo waits behind the dropped run, under its own progress window, cancelled too.
        RunItem("&U.撤消");
        EXPECT_EQ(canceller.Titles(), (QStringList{"到繁体", "撤消"}));
    }
    EXPECT_TRUE(EditorText() == text);
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    EXPECT_TRUE(window.Background().Busy());

    // The dropped run ends in the background and changes nothing when it does.
    converter.Release();
    WaitWhileBusy();
    QApplication::processEvents();
    EXPECT_TRUE(EditorText() == text);
    RunItem("&U.撤消");
    EXPECT_TRUE(EditorText() == before);
    EXPECT_TRUE(WidgetText() == GbkToUtf8(before));
    EXPECT_TRUE(window.Editor().ModifiedFlag());
    RunItem("重做");

    RunItem("到繁体");
    const Text converted = EditorText();
    EXPECT_EQ(converted.substr(0, 10), "abc xyz " + kLateOldGbk);
    EXPECT_TRUE(converted == DirectResult("到繁体", text));
    EXPECT_EQ(window.Background().Runs(), 5);
}

TEST_F(BackgroundCommandTest, ACommandAfterACancelWaitsForTheDroppedRun) {
    HeldConverter converter;
    TestServices().chinese = &converter;
    MainWindow& window = OpenBound();
    window.Editor().ReplaceText(LargeText());
    {
        ProgressCanceller canceller;
        RunItem("到繁体");
    }
    ASSERT_TRUE(window.Background().Busy());
    // Even a small document's command waits behind the progress window for the worker.
    window.Editor().ReplaceText("abc");
    QTimer::singleShot(700, [&] { converter.Release(); });
    RunItem("到大写");
    EXPECT_EQ(EditorText(), "ABC");
    EXPECT_EQ(window.Background().Runs(), 2);
    EXPECT_FALSE(window.Background().Busy());
}

TEST_F(BackgroundCommandTest, ALargeUtf8FileIsBuiltIntoADocumentOnTheWorkerAndSavesAsItWas) {
    HeldConverter converter;
    TestServices().chinese = &converter;
    MainWindow& window = OpenBound();
    ScintillaEditor& editor = window.Editor();
    // A dropped run left going holds the open's worker back past the quiet half second.
    editor.ReplaceText(LargeText());
    editor.SetModifiedFlag(false);
    {
        ProgressCanceller canceller;
        RunItem("到繁体");
    }
    ASSERT_TRUE(window.Background().Busy());
    const std::string bytes = GbkToUtf8(LargeText()) + "a\xF0\x9F\x98\x80\r\n\xE4\xB8\xAD";
    const Text path = PathOf("large.txt");
    Put(path, bytes);
    const long widgetDocument = editor.SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER);
    {
        ProgressCanceller watcher(ProgressCanceller::Then::Wait);
        QTimer::singleShot(700, [&] { converter.Release(); });
        Dialog().Answer(path);
        RunItem("&O.打开");
        EXPECT_EQ(watcher.Titles().size(), 1) << "the open waited under the progress window";
    }
    EXPECT_NE(editor.SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER), widgetDocument)
        << "the document made on the worker was swapped in";
    EXPECT_TRUE(WidgetText() == bytes);
    EXPECT_TRUE(EditorText() == Utf8ToGbk(bytes));
    EXPECT_FALSE(editor.ModifiedFlag());
    EXPECT_EQ(window.Background().Runs(), 2);

    editor.setFocus();
    QTest::keyClick(editor.viewport(), Qt::Key_End, Qt::ControlModifier);
    TypeKeys("!");
    RunItem("&S.保存");
    EXPECT_TRUE(Content(path) == bytes + "!") << "the file's bytes, then the key";
    EXPECT_FALSE(editor.ModifiedFlag());
}

}  // namespace
}  // namespace velmor
