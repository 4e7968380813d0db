#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>

#include "app/DocumentController.h"
#include "app/FileDialog.h"
#include "app/ScintillaEditor.h"
#include "app/WindowEditorAccess.h"
#include "core/CodePage936.h"
#include "core/UndoHistory.h"

namespace velmor {
namespace {

using namespace std::string_literals;

// Chooses the queued paths in turn; a dry queue cancels.
class QueuedFileDialog : public FileDialog {
public:
    bool Show(FileDialogKind, const std::string&) override {
        if (m_paths.empty()) {
            return false;
        }
        SetFileName(m_paths.front());
        m_paths.pop_front();
        return true;
    }
    void Choose(Text path) { m_paths.push_back(std::move(path)); }

private:
    std::deque<Text> m_paths;
};

// Answers the real message boxes as they come up, pressing the queued buttons in turn.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { AnswerOpenBox(); });
        m_timer.start();
    }

    void Press(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
    const QStringList& Texts() const { return m_texts; }
    const QStringList& Titles() const { return m_titles; }

private:
    void AnswerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            return;
        }
        m_texts << box->text();
        m_titles << box->windowTitle();
        QMessageBox::StandardButton button = QMessageBox::Ok;
        if (!m_buttons.empty() && box->button(m_buttons.front())) {
            button = m_buttons.front();
            m_buttons.pop_front();
        } else if (box->button(QMessageBox::Cancel)) {
            button = QMessageBox::Cancel;
        }
        box->button(button)->click();
    }

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_buttons;
    QStringList m_texts;
    QStringList m_titles;
};

class DocumentWindowTest : public ::testing::Test {
protected:
    DocumentWindowTest()
        : m_access(m_editor),
          m_controller(
              m_access, m_dialog,
              {[this](const std::string& caption) { m_caption = QString::fromStdString(caption); },
               {},
               [this] { ++m_closes; }}) {
        m_editor.resize(400, 300);
        m_editor.show();
    }

    Text PathOf(const char* name) const {
        return Utf8ToGbk(QDir(m_dir.path()).filePath(QString::fromUtf8(name)).toStdString());
    }
    static void Put(const Text& path, const ByteString& bytes) {
        QFile file(QString::fromStdString(GbkToUtf8(path)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    static ByteString Content(const Text& path) {
        QFile file(QString::fromStdString(GbkToUtf8(path)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
    void TypeKeys(const char* keys) {
        m_editor.setFocus();
        QTest::keyClicks(m_editor.viewport(), QString::fromUtf8(keys));
        QApplication::processEvents();
    }

    QTemporaryDir m_dir;
    ScintillaEditor m_editor;
    WindowEditorAccess m_access;
    QueuedFileDialog m_dialog;
    QString m_caption;
    int m_closes = 0;
    DocumentController m_controller;
    MessageBoxAnswerer m_answerer;
};

TEST_F(DocumentWindowTest, FilesOpenIntoTheEditorByTheLoadRules) {
    struct Row {
        ByteString bytes;
        Text opened;
        Text dropped;
    };
    const Row rows[] = {
        {"A\x1A"
         "B",
         "A",
         "A\x1A"
         "B"},
        {"A\0B"s, "A", "A"},
        {"\xD6\xD0\r\n\xCE\xC4", "\xD6\xD0\r\n\xCE\xC4", "\xD6\xD0\r\n\xCE\xC4"},
        {"AB\xD6", "AB\xD6", "AB\xD6"},
        {"x\ny\n", "x\ny\n", "x\ny\n"},
        {"\xEF\xBB\xBFutf8", "\xEF\xBB\xBFutf8", "\xEF\xBB\xBFutf8"},
    };
    const Text path = PathOf("load.txt");
    for (const Row& row : rows) {
        Put(path, row.bytes);
        ASSERT_TRUE(m_controller.OpenDocumentFile(path));
        EXPECT_EQ(m_editor.ReadText(), row.opened) << testing::PrintToString(row.bytes);
        EXPECT_FALSE(m_editor.ModifiedFlag());
        EXPECT_EQ(m_caption, QStringLiteral("Velmor记事本增强版 - ") +
                                 QString::fromStdString(GbkToUtf8(path)));
        m_controller.DropFiles({path});
        EXPECT_EQ(m_editor.ReadText(), row.dropped) << testing::PrintToString(row.bytes);
    }
    EXPECT_TRUE(m_answerer.Texts().isEmpty());
}

TEST_F(DocumentWindowTest, TypedTextIsAskedAboutAndSavedByteForByte) {
    const Text path = PathOf("typed.txt");
    Put(path, "one\ntwo");
    ASSERT_TRUE(m_controller.OpenDocumentFile(path));
    m_editor.SetSelectionStart(7);
    TypeKeys("!");
    ASSERT_TRUE(m_editor.ModifiedFlag());

    m_answerer.Press(QMessageBox::Cancel);
    m_controller.New();
    EXPECT_EQ(m_editor.ReadText(), "one\ntwo!");

    m_answerer.Press(QMessageBox::Yes);
    m_controller.New();
    EXPECT_EQ(Content(path), "one\ntwo!") << "LF-only breaks are written back unchanged";
    EXPECT_EQ(m_editor.ReadText(), "");
    EXPECT_TRUE(m_controller.CurrentFileName().empty());
    EXPECT_EQ(m_answerer.Texts(), (QStringList{QStringLiteral("文件已经被修改，是否保存？"),
                                               QStringLiteral("文件已经被修改，是否保存？")}));
    EXPECT_EQ(m_answerer.Titles().front(), QStringLiteral("询问"));
}

TEST_F(DocumentWindowTest, AFailedSaveShowsTheErrorAndKeepsTheOldFile) {
    TypeKeys("abc");
    m_dialog.Choose(PathOf("missing/folder/doc.txt"));
    m_answerer.Press(QMessageBox::Yes);
    m_controller.Exit();
    EXPECT_EQ(m_answerer.Texts(), (QStringList{QStringLiteral("文件已经被修改，是否保存？"),
                                               QStringLiteral("保存文件失败！")}));
    EXPECT_EQ(m_answerer.Titles().back(), QStringLiteral("错误"));
    EXPECT_EQ(m_closes, 1) << "Exit goes on after the failure";
    EXPECT_TRUE(m_editor.ModifiedFlag());
}

TEST_F(DocumentWindowTest, TheCloseBoxAllowsAnEmptyEditorWithoutAsking) {
    TypeKeys("a");
    m_editor.SetSelectionStart(0);
    m_editor.SetSelectionLength(1);
    QTest::keyClick(m_editor.viewport(), Qt::Key_Delete);
    QApplication::processEvents();
    ASSERT_EQ(m_editor.ReadText(), "");
    ASSERT_TRUE(m_editor.ModifiedFlag());
    EXPECT_TRUE(m_controller.CloseRequest());
    EXPECT_TRUE(m_answerer.Texts().isEmpty());
}

TEST_F(DocumentWindowTest, UndoAfterOpenBringsBackThePreviousText) {
    UndoHistory history(m_access);
    history.Attach();
    TypeKeys("old");
    const Text path = PathOf("new.txt");
    Put(path, "loaded");
    m_access.SetModifiedFlag(false);
    ASSERT_TRUE(m_controller.OpenDocumentFile(path));
    history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "old");
}

TEST_F(DocumentWindowTest, WholeTextCommandsCountAsEdits) {
    m_editor.ReplaceText("abc");
    m_access.SetModifiedFlag(false);
    RunTextCommand(m_access, [&] { m_access.ReplaceText("ABC"); });
    EXPECT_TRUE(m_editor.ModifiedFlag());
    m_access.SetModifiedFlag(false);
    RunTextCommand(m_access, [&] { m_access.ReplaceText(m_access.ReadText()); });
    EXPECT_FALSE(m_editor.ModifiedFlag());
}

}  // namespace
}  // namespace velmor
