#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <optional>

#include "../support/FileSizeLimit.h"
#include "app/DocumentController.h"
#include "app/FileDialog.h"
#include "app/FileDialogBox.h"
#include "core/CodePage936.h"
#include "core/MemoryEditor.h"

namespace velmor {
namespace {

using namespace std::string_literals;
using test::FileSizeLimit;

// Answers each Show from a queue: a path is chosen, nullopt is a cancel; a dry queue cancels.
class FakeFileDialog : public FileDialog {
public:
    struct Shown {
        FileDialogKind kind;
        std::string title;
        Text fileName;
        Text initialFolder;
    };

    bool Show(FileDialogKind kind, const std::string& title) override {
        m_shown.push_back({kind, title, FileName(), InitialFolder()});
        if (m_answers.empty() || !m_answers.front()) {
            if (!m_answers.empty()) {
                m_answers.pop_front();
            }
            return false;
        }
        SetFileName(*m_answers.front());
        m_answers.pop_front();
        return true;
    }

    void Answer(std::optional<Text> path) { m_answers.push_back(std::move(path)); }
    const std::vector<Shown>& ShownDialogs() const { return m_shown; }

private:
    std::deque<std::optional<Text>> m_answers;
    std::vector<Shown> m_shown;
};

class DocumentControllerTest : public ::testing::Test {
protected:
    DocumentControllerTest()
        : m_controller(
              m_editor, m_dialog,
              {[this](const std::string& caption) { m_captions.push_back(caption); },
               [this](const Text& path) { m_recent.push_back(path); }, [this] { ++m_closes; },
               [this](const std::string& path, const FileLoad& load) -> std::optional<OpenedFile> {
                   m_loads.push_back(path);
                   if (m_giveUpLoads) {
                       return std::nullopt;
                   }
                   return load();
               }}) {}

    // A document path (GBK) in the temporary folder; name is UTF-8.
    Text PathOf(const char* name) const {
        return Utf8ToGbk(QDir(m_dir.path()).filePath(QString::fromUtf8(name)).toStdString());
    }

    static ByteString Content(const Text& path) {
        QFile file(QString::fromStdString(GbkToUtf8(path)));
        if (!file.open(QIODevice::ReadOnly)) {
            return "<missing>";
        }
        return file.readAll().toStdString();
    }

    static void Put(const Text& path, const ByteString& bytes) {
        QFile file(QString::fromStdString(GbkToUtf8(path)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const MemoryEditor::Message& message : m_editor.Messages()) {
            texts.push_back(message.text);
        }
        return texts;
    }

    QTemporaryDir m_dir;
    MemoryEditor m_editor;
    FakeFileDialog m_dialog;
    std::vector<std::string> m_captions;
    std::vector<Text> m_recent;
    int m_closes = 0;
    // File-system paths of the loads run, and whether the user gives each up while it runs.
    std::vector<std::string> m_loads;
    bool m_giveUpLoads = false;
    DocumentController m_controller;
};

const std::string kAsk = "文件已经被修改，是否保存？";

enum class Command { New, Open, Recent, Exit, Close };

TEST_F(DocumentControllerTest, SaveQuestionMatrix) {
    struct Row {
        Command command;
        bool titled;
        MessageAnswer answer;
        bool saveDialogCancelled;
        bool goesOn;
        bool saved;
    };
    const Row rows[] = {
        {Command::New, false, MessageAnswer::Cancel, false, false, false},
        {Command::New, false, MessageAnswer::No, false, true, false},
        {Command::New, false, MessageAnswer::Yes, false, true, true},
        {Command::New, false, MessageAnswer::Yes, true, false, false},
        {Command::New, true, MessageAnswer::Cancel, false, false, false},
        {Command::New, true, MessageAnswer::No, false, true, false},
        {Command::New, true, MessageAnswer::Yes, false, true, true},
        {Command::Open, false, MessageAnswer::Cancel, false, false, false},
        {Command::Open, false, MessageAnswer::No, false, true, false},
        {Command::Open, false, MessageAnswer::Yes, false, true, true},
        {Command::Open, false, MessageAnswer::Yes, true, false, false},
        {Command::Open, true, MessageAnswer::No, false, true, false},
        {Command::Open, true, MessageAnswer::Yes, false, true, true},
        {Command::Recent, false, MessageAnswer::Cancel, false, false, false},
        {Command::Recent, false, MessageAnswer::Yes, true, false, false},
        {Command::Recent, true, MessageAnswer::No, false, true, false},
        {Command::Recent, true, MessageAnswer::Yes, false, true, true},
        {Command::Exit, false, MessageAnswer::Cancel, false, false, false},
        {Command::Exit, false, MessageAnswer::No, false, true, false},
        {Command::Exit, false, MessageAnswer::Yes, false, true, true},
        {Command::Exit, false, MessageAnswer::Yes, true, false, false},
        {Command::Exit, true, MessageAnswer::Yes, false, true, true},
        {Command::Close, false, MessageAnswer::Cancel, false, false, false},
        {Command::Close, false, MessageAnswer::No, false, true, false},
        {Command::Close, false, MessageAnswer::Yes, true, false, false},
        {Command::Close, true, MessageAnswer::Cancel, false, false, false},
        {Command::Close, true, MessageAnswer::Yes, false, true, true},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << index);
        const Text own = PathOf(("own" + std::to_string(index) + ".txt").c_str());
        const Text chosen = PathOf(("chosen" + std::to_string(index) + ".txt").c_str());
        const Text other = PathOf("other.txt");
        ++index;
        Put(other, "other file");

        MemoryEditor editor;
        FakeFileDialog dialog;
        int closes = 0;
        DocumentController controller(editor, dialog, {{}, {}, [&] { ++closes; }, {}});
        if (row.titled) {
            Put(own, "on disk");
            ASSERT_TRUE(controller.OpenDocumentFile(own));
        }
        editor.Type("edited");
        editor.QueueAnswer(row.answer);
        if (!row.titled && row.answer == MessageAnswer::Yes) {
            dialog.Answer(row.saveDialogCancelled ? std::nullopt : std::optional<Text>(chosen));
        }
        bool allowed = false;
        switch (row.command) {
            case Command::New:
                controller.New();
                break;
            case Command::Open:
                dialog.Answer(other);
                controller.Open();
                break;
            case Command::Recent:
                controller.OpenRecentFile(other);
                break;
            case Command::Exit:
                controller.Exit();
                break;
            case Command::Close:
                allowed = controller.CloseRequest();
                break;
        }

        ASSERT_EQ(editor.Messages().size(), 1u);
        EXPECT_EQ(editor.Messages()[0].text, kAsk);
        EXPECT_EQ(editor.Messages()[0].title, "询问");
        EXPECT_EQ(editor.Messages()[0].kind, MessageKind::Question);

        const Text savedTo = row.titled ? own : chosen;
        EXPECT_EQ(Content(savedTo), row.saved ? "edited" : (row.titled ? "on disk" : "<missing>"));
        if (!row.titled && row.answer == MessageAnswer::Yes) {
            ASSERT_GE(dialog.ShownDialogs().size(), 1u);
            EXPECT_EQ(dialog.ShownDialogs()[0].kind, FileDialogKind::Save);
            EXPECT_EQ(dialog.ShownDialogs()[0].title, "请输入欲保存到的文本文件名：");
        }

        switch (row.command) {
            case Command::New:
                EXPECT_EQ(editor.ReadText(), row.goesOn ? "" : "edited");
                EXPECT_EQ(controller.CurrentFileName().empty(), row.goesOn || !row.titled);
                EXPECT_EQ(editor.ModifiedFlag(), !row.goesOn);
                break;
            case Command::Open:
            case Command::Recent:
                EXPECT_EQ(editor.ReadText(), row.goesOn ? "other file" : "edited");
                if (row.goesOn) {
                    EXPECT_EQ(controller.CurrentFileName(), other);
                    EXPECT_FALSE(editor.ModifiedFlag());
                }
                break;
            case Command::Exit:
                EXPECT_EQ(closes, row.goesOn ? 1 : 0);
                break;
            case Command::Close:
                EXPECT_EQ(allowed, row.goesOn);
                break;
        }
    }
}

TEST_F(DocumentControllerTest, OpenLoadsTheFileAndSetsCaptionRecentAndFolder) {
    const Text path = PathOf("中文 名.txt");
    Put(path, "\xD6\xD0\r\nline");
    m_editor.Type("before");
    m_editor.SetModifiedFlag(false);
    m_dialog.Answer(path);
    m_controller.Open();

    ASSERT_EQ(m_dialog.ShownDialogs().size(), 1u);
    EXPECT_EQ(m_dialog.ShownDialogs()[0].kind, FileDialogKind::Open);
    EXPECT_EQ(m_dialog.ShownDialogs()[0].title, "请输入欲打开的文本文件名：");
    EXPECT_EQ(m_editor.ReadText(), "\xD6\xD0\r\nline");
    EXPECT_FALSE(m_editor.ModifiedFlag());
    EXPECT_EQ(m_controller.CurrentFileName(), path);
    EXPECT_EQ(m_captions, std::vector<std::string>{"Velmor记事本增强版 - " + GbkToUtf8(path)});
    EXPECT_EQ(m_recent, std::vector<Text>{path});
    EXPECT_EQ(m_dialog.InitialFolder(), PathOf("") + "/");
    EXPECT_TRUE(m_editor.Messages().empty());
}

TEST_F(DocumentControllerTest, AFailedOpenLeavesAnEmptyUntitledDocument) {
    const Text good = PathOf("good.txt");
    Put(good, "good");
    ASSERT_TRUE(m_controller.OpenDocumentFile(good));
    m_recent.clear();

    const Text missing = PathOf("sub/missing.txt");
    m_dialog.Answer(missing);
    m_controller.Open();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"打开文件失败！"});
    EXPECT_EQ(m_editor.Messages()[0].title, "错误");
    EXPECT_EQ(m_editor.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(m_editor.ReadText(), "");
    EXPECT_TRUE(m_controller.CurrentFileName().empty());
    EXPECT_EQ(m_captions.back(), "Velmor记事本增强版");
    EXPECT_TRUE(m_recent.empty());
    EXPECT_EQ(m_dialog.InitialFolder(), PathOf("sub/")) << "set also when loading failed";
}

TEST_F(DocumentControllerTest, CancelledOpenChangesNothing) {
    m_editor.Type("kept");
    m_editor.SetModifiedFlag(false);
    m_dialog.Answer(std::nullopt);
    m_controller.Open();
    EXPECT_EQ(m_editor.ReadText(), "kept");
    EXPECT_TRUE(m_captions.empty());
}

TEST_F(DocumentControllerTest, SavingWritesTheBytesUnchanged) {
    const Text path = PathOf("lf.txt");
    Put(path, "one\ntwo\n\xD6\xD0");
    ASSERT_TRUE(m_controller.OpenDocumentFile(path));
    m_editor.Type(m_editor.ReadText() + "\nthree");
    m_controller.Save();
    EXPECT_EQ(Content(path), "one\ntwo\n\xD6\xD0\nthree");
    EXPECT_FALSE(m_editor.ModifiedFlag());
    EXPECT_EQ(m_recent, std::vector<Text>{path});
    EXPECT_TRUE(m_dialog.ShownDialogs().empty());
}

TEST_F(DocumentControllerTest, SavingAnEmptyDocumentCreatesAnEmptyFile) {
    const Text path = PathOf("empty.txt");
    m_dialog.Answer(path);
    m_controller.Save();
    EXPECT_EQ(Content(path), "");
    EXPECT_EQ(m_controller.CurrentFileName(), path);
}

TEST_F(DocumentControllerTest, CancelledSaveAsLeavesTheDocumentUntitled) {
    m_editor.Type("draft");
    m_dialog.Answer(std::nullopt);
    m_controller.SaveAs();
    EXPECT_TRUE(m_controller.CurrentFileName().empty());
    EXPECT_TRUE(m_editor.ModifiedFlag());

    const Text path = PathOf("named.txt");
    m_dialog.Answer(path);
    m_controller.Save();
    ASSERT_EQ(m_dialog.ShownDialogs().size(), 2u) << "the next Save asks for a name again";
    EXPECT_EQ(m_dialog.ShownDialogs()[1].title, "请输入欲另存到的文本文件名：");
    EXPECT_EQ(Content(path), "draft");
    EXPECT_EQ(m_controller.CurrentFileName(), path);
    EXPECT_EQ(m_dialog.InitialFolder(), PathOf("") + "/");
}

TEST_F(DocumentControllerTest, SaveAsMovesTheDocumentToTheNewFile) {
    const Text first = PathOf("first.txt");
    const Text second = PathOf("second.txt");
    Put(first, "text");
    ASSERT_TRUE(m_controller.OpenDocumentFile(first));
    m_dialog.SetFileName(first);
    m_dialog.Answer(second);
    m_controller.SaveAs();
    EXPECT_EQ(m_dialog.ShownDialogs()[0].fileName, first) << "the file name carries over";
    EXPECT_EQ(Content(second), "text");
    EXPECT_EQ(m_controller.CurrentFileName(), second);
    EXPECT_TRUE(m_captions.size() == 1) << "Save As leaves the caption alone";
}

TEST_F(DocumentControllerTest, AFailedSaveKeepsTheOldFileAndTheQuestion) {
    const Text path = PathOf("old.txt");
    Put(path, "old content");
    ASSERT_TRUE(m_controller.OpenDocumentFile(path));
    m_editor.Type(std::string(100000, 'n'));
    {
        FileSizeLimit limit(4096);
        m_controller.Save();
    }
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"保存文件失败！"});
    EXPECT_EQ(m_editor.Messages()[0].title, "错误");
    EXPECT_EQ(Content(path), "old content");
    EXPECT_EQ(m_controller.CurrentFileName(), path);
    EXPECT_TRUE(m_editor.ModifiedFlag()) << "unsaved text must still be asked about";
    EXPECT_TRUE(m_recent.empty());
}

TEST_F(DocumentControllerTest, AFailedSaveDuringExitStillExits) {
    m_editor.Type("unsaved");
    m_editor.QueueAnswer(MessageAnswer::Yes);
    m_dialog.Answer(PathOf("no/such/folder/doc.txt"));
    m_controller.Exit();
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kAsk, "保存文件失败！"}));
    EXPECT_EQ(m_closes, 1);
    EXPECT_TRUE(m_controller.CloseRequest()) << "the window's own close does not ask again";
    EXPECT_EQ(m_editor.Messages().size(), 2u);
}

TEST_F(DocumentControllerTest, TheCloseBoxNeverAsksAboutAnEmptyTextButExitDoes) {
    m_editor.Type("x");
    m_editor.Type("");
    ASSERT_TRUE(m_editor.ModifiedFlag());
    EXPECT_TRUE(m_controller.CloseRequest());
    EXPECT_TRUE(m_editor.Messages().empty());

    m_editor.QueueAnswer(MessageAnswer::Cancel);
    m_controller.Exit();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kAsk});
    EXPECT_EQ(m_closes, 0);
}

TEST_F(DocumentControllerTest, AnUnmodifiedDocumentIsNeverAskedAbout) {
    m_editor.ReplaceText("whole-text command");
    m_controller.New();
    m_controller.Exit();
    EXPECT_TRUE(m_editor.Messages().empty());
    EXPECT_EQ(m_closes, 1);
}

TEST_F(DocumentControllerTest, RecentItemsOpenWithoutTouchingListOrFolder) {
    const Text path = PathOf("recent.txt");
    Put(path, "recent");
    m_dialog.SetInitialFolder("/kept/");
    m_controller.OpenRecentFile(path);
    EXPECT_EQ(m_editor.ReadText(), "recent");
    EXPECT_EQ(m_controller.CurrentFileName(), path);
    EXPECT_TRUE(m_recent.empty());
    EXPECT_EQ(m_dialog.InitialFolder(), "/kept/");

    m_controller.OpenRecentFile("");
    EXPECT_EQ(m_editor.ReadText(), "recent") << "an empty slot opens nothing";
}

TEST_F(DocumentControllerTest, ALoadGivenUpEndsOpenUntitledAndLeavesADropUnchanged) {
    const Text path = PathOf("大.txt");
    Put(path, "big");
    Put(PathOf("kept.txt"), "kept");
    ASSERT_TRUE(m_controller.OpenDocumentFile(PathOf("kept.txt")));
    ASSERT_EQ(m_loads, std::vector<std::string>{GbkToUtf8(PathOf("kept.txt"))});
    m_captions.clear();

    m_giveUpLoads = true;
    m_dialog.Answer(path);
    m_controller.Open();
    EXPECT_EQ(m_loads.back(), GbkToUtf8(path));
    EXPECT_EQ(m_editor.ReadText(), "");
    EXPECT_TRUE(m_controller.CurrentFileName().empty());
    EXPECT_EQ(m_captions, std::vector<std::string>{"Velmor记事本增强版"});
    EXPECT_TRUE(m_recent.empty());
    EXPECT_TRUE(m_editor.Messages().empty()) << "giving up is no failure to report";

    m_giveUpLoads = false;
    m_editor.ReplaceText("typed");
    m_editor.SetModifiedFlag(true);
    m_giveUpLoads = true;
    m_controller.DropFiles({path});
    EXPECT_EQ(m_editor.ReadText(), "typed");
    EXPECT_TRUE(m_editor.ModifiedFlag());
    EXPECT_TRUE(m_controller.CurrentFileName().empty());
}

TEST_F(DocumentControllerTest, DroppedFilesLoadTheFirstWithoutAsking) {
    const Text first = PathOf("first.txt");
    Put(first, "first");
    Put(PathOf("second.txt"), "second");
    m_editor.Type("unsaved");
    m_controller.DropFiles({first, PathOf("second.txt")});
    EXPECT_EQ(m_editor.ReadText(), "first");
    EXPECT_EQ(m_controller.CurrentFileName(), first);
    EXPECT_TRUE(m_editor.Messages().empty());
    EXPECT_TRUE(m_captions.empty());
    EXPECT_TRUE(m_recent.empty());

    const Text missing = PathOf("missing.txt");
    m_controller.DropFiles({missing});
    EXPECT_EQ(m_editor.ReadText(), "");
    EXPECT_EQ(m_controller.CurrentFileName(), missing);
    EXPECT_TRUE(m_editor.Messages().empty());
}

TEST_F(DocumentControllerTest, ADropClearsTheFlagSoItsTextIsNotWrittenBackUnasked) {
    const Text dropped = PathOf("dropped.txt");
    Put(dropped, "kept\0tail"s);
    m_editor.Type("typed");
    ASSERT_TRUE(m_editor.ModifiedFlag());
    m_controller.DropFiles({dropped});
    EXPECT_FALSE(m_editor.ModifiedFlag());
    EXPECT_TRUE(m_controller.CloseRequest()) << "nothing to ask about";
    EXPECT_EQ(Content(dropped), "kept\0tail"s);
}

const std::string kLoadedOnlyPart =
    "文件中含有0字节或文件结束符(0x1A)，只载入了其前面的内容；保存将截去其后的内容。";

// Each way of loading, with a file that it cuts short and one it loads whole: a cut is told
// once, as information; a whole file says nothing.
TEST_F(DocumentControllerTest, ALoadCutShortIsToldOnce) {
    enum class Way { Open, Recent, Drop, OpenDocumentFile };
    struct Row {
        Way way;
        ByteString file;
        Text loaded;
        bool told;
    };
    const Row rows[] = {
        {Way::Open,
         "A\x1A"
         "B"s,
         "A", true},
        {Way::Open, "A\0B"s, "A", true},
        {Way::Open, "\xD6\0B"s, "", true},
        {Way::Open,
         "\xD6\x1A"
         "B"s,
         "\xD6\x1A"
         "B",
         false},
        {Way::Open, "whole", "whole", false},
        {Way::Open, "", "", false},
        {Way::Recent,
         "A\x1A"
         "B"s,
         "A", true},
        {Way::Recent, "whole", "whole", false},
        {Way::OpenDocumentFile, "x\0"s, "x", true},
        {Way::Drop, "A\0B"s, "A", true},
        {Way::Drop,
         "A\x1A"
         "B"s,
         "A\x1A"
         "B",
         false},
        {Way::Drop, "whole", "whole", false},
        // UTF-8 stops at its zero byte too, on every way in.
        {Way::Open, "中\0文"s, "\xD6\xD0", true},
        {Way::Drop, "中\0文"s, "\xD6\xD0", true},
    };
    for (const Row& row : rows) {
        const Text path = PathOf("cut.txt");
        Put(path, row.file);
        const std::size_t before = m_editor.Messages().size();
        switch (row.way) {
            case Way::Open:
                m_dialog.Answer(path);
                m_controller.Open();
                break;
            case Way::Recent:
                m_controller.OpenRecentFile(path);
                break;
            case Way::Drop:
                m_controller.DropFiles({path});
                break;
            case Way::OpenDocumentFile:
                m_controller.OpenDocumentFile(path);
                break;
        }
        const std::string context = "way " + std::to_string(static_cast<int>(row.way)) +
                                    ", file of " + std::to_string(row.file.size()) + " bytes";
        EXPECT_EQ(m_editor.ReadText(), row.loaded) << context;
        ASSERT_EQ(m_editor.Messages().size() - before, row.told ? 1u : 0u) << context;
        if (row.told) {
            const MemoryEditor::Message& told = m_editor.Messages().back();
            EXPECT_EQ(told.kind, MessageKind::Information);
            EXPECT_EQ(told.title, "信息：");
            EXPECT_EQ(told.text, kLoadedOnlyPart);
        }
    }
}

TEST_F(DocumentControllerTest, TextCommandsThatChangeTheTextSetTheFlag) {
    m_editor.ReplaceText("abc");
    RunTextCommand(m_editor, [&] { m_editor.ReplaceText(m_editor.ReadText()); });
    EXPECT_FALSE(m_editor.ModifiedFlag()) << "writing the same text back is no edit";
    RunTextCommand(m_editor, [&] { m_editor.ReplaceText("ABC"); });
    EXPECT_TRUE(m_editor.ModifiedFlag());

    m_editor.QueueAnswer(MessageAnswer::No);
    m_controller.New();
    EXPECT_FALSE(m_editor.ModifiedFlag()) << "New was asked about and clears the flag";
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kAsk});
}

TEST(FileDialogTest, InitialFolderIsThePathUpToItsLastSlash) {
    struct Row {
        Text path;
        Text folder;
    };
    const Row rows[] = {{"/home/u/a.txt", "/home/u/"},
                        {"/a.txt", "/"},
                        {"a.txt", ""},
                        {"", ""},
                        {"/home/\xD6\xD0/x", "/home/\xD6\xD0/"}};
    FakeFileDialog dialog;
    for (const Row& row : rows) {
        dialog.SetInitialFolderFromPath(row.path);
        EXPECT_EQ(dialog.InitialFolder(), row.folder) << row.path;
    }
}

TEST(FileDialogTest, QtFiltersKeepTheDescriptionsAndMatchEveryFileForAll) {
    const QStringList filters = ToQtNameFilters(kDocumentFileFilter);
    ASSERT_EQ(filters.size(), 7);
    EXPECT_EQ(filters[0], QStringLiteral("文本文件(*.txt) (*.txt)"));
    EXPECT_EQ(filters[5], QStringLiteral("网页(*.html) (*.html)"));
    EXPECT_EQ(filters[6], QStringLiteral("所有文件(*.*) (*)"));
}

}  // namespace
}  // namespace velmor
