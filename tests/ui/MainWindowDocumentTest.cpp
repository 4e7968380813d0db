#include <gtest/gtest.h>

#include <QAction>
#include <QMimeData>
#include <QUrl>

#include "../support/FileSizeLimit.h"
#include "WindowCommandsTestSupport.h"
#include "core/RecentFiles.h"

namespace velmor {
namespace {

using namespace std::string_literals;
using test::CommandsFixture;
using test::FileSizeLimit;
using test::MessageBoxAnswerer;

const QString kAsk = QStringLiteral("文件已经被修改，是否保存？");
const QString kSaveFailed = QStringLiteral("保存文件失败！");

enum class Command { New, Open, Recent, Exit, CloseBox };
enum class Document { Untitled, Titled };
// What the save dialog does when the question is answered Yes on an untitled document.
enum class SaveDialog { NotShown, Cancelled, MissingFolder, Chosen };

struct MatrixRow {
    Command command;
    Document document;
    QMessageBox::StandardButton answer;
    SaveDialog saveDialog;
    bool goesOn;
    QStringList messages;
};

std::string Name(const MatrixRow& row) {
    static const char* const commands[] = {"New", "Open", "Recent", "Exit", "CloseBox"};
    return std::string(commands[int(row.command)]) +
           (row.document == Document::Titled ? " titled" : " untitled") + " answer " +
           std::to_string(int(row.answer)) + " save dialog " + std::to_string(int(row.saveDialog));
}

std::vector<MatrixRow> MatrixRows() {
    std::vector<MatrixRow> rows;
    for (Command command :
         {Command::New, Command::Open, Command::Recent, Command::Exit, Command::CloseBox}) {
        for (Document document : {Document::Untitled, Document::Titled}) {
            rows.push_back(
                {command, document, QMessageBox::No, SaveDialog::NotShown, true, {kAsk}});
            rows.push_back(
                {command, document, QMessageBox::Cancel, SaveDialog::NotShown, false, {kAsk}});
        }
        rows.push_back(
            {command, Document::Titled, QMessageBox::Yes, SaveDialog::NotShown, true, {kAsk}});
        rows.push_back(
            {command, Document::Untitled, QMessageBox::Yes, SaveDialog::Chosen, true, {kAsk}});
        rows.push_back(
            {command, Document::Untitled, QMessageBox::Yes, SaveDialog::Cancelled, false, {kAsk}});
        rows.push_back({command,
                        Document::Untitled,
                        QMessageBox::Yes,
                        SaveDialog::MissingFolder,
                        true,
                        {kAsk, kSaveFailed}});
    }
    return rows;
}

class MainWindowDocumentTest : public ::testing::Test, protected CommandsFixture {
protected:
    // Sends a drop of the given files to target, as the desktop would.
    static void DropOn(QWidget* target, const QStringList& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files) {
            urls << QUrl::fromLocalFile(file);
        }
        data.setUrls(urls);
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        ASSERT_TRUE(drop.isAccepted());
    }

    QString Caption() { return Window().windowTitle(); }

    // The widget's buffer as it holds it, stray bytes included.
    std::string WidgetBytes() {
        ScintillaEditor& editor = Window().Editor();
        const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        const auto* data = static_cast<const char*>(
            editor.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
        return std::string(data == nullptr ? "" : data, static_cast<std::size_t>(length));
    }

    // Lines of Chinese, ASCII and a four-byte character, past the worker's threshold.
    static const Text& LargeText() {
        static const Text text = [] {
            Text lines;
            while (lines.size() < kBackgroundTextBytes + 4096) {
                lines += "\xD6\xD0\xCE\xC4 text \x81\x30\x81\x30\r\n";
            }
            return lines;
        }();
        return text;
    }
};

TEST_F(MainWindowDocumentTest, TheSaveQuestionMatrix) {
    for (const MatrixRow& row : MatrixRows()) {
        SCOPED_TRACE(Name(row));
        const Text titled = PathOf("titled.txt");
        const Text other = PathOf("other.txt");
        const Text saved = PathOf("saved.txt");
        QFile::remove(FileSystemPath(saved));
        Put(titled, "old");
        Put(other, "other file");
        Settings().WriteString(kRecentFilesKey, "1", other);
        MainWindow& window = OpenBound();
        if (row.document == Document::Titled) {
            Dialog().Answer(titled);
            RunItem("&O.打开");
            ASSERT_EQ(EditorText(), "old");
            window.Editor().SetSelectionStart(3);
        }
        TypeKeys("!");
        ASSERT_TRUE(window.Editor().ModifiedFlag());
        const Text typed = EditorText();

        MessageBoxAnswerer answerer;
        answerer.Press(row.answer);
        switch (row.saveDialog) {
            case SaveDialog::NotShown:
                break;
            case SaveDialog::Cancelled:
                Dialog().Answer(std::nullopt);
                break;
            case SaveDialog::MissingFolder:
                Dialog().Answer(PathOf("missing/folder/doc.txt"));
                break;
            case SaveDialog::Chosen:
                Dialog().Answer(saved);
                break;
        }
        if (row.command == Command::Open) {
            Dialog().Answer(other);
        }
        const std::size_t dialogsBefore = Dialog().Titles().size();

        bool closed = false;
        switch (row.command) {
            case Command::New:
                RunItem("&N.新建");
                break;
            case Command::Open:
                RunItem("&O.打开");
                break;
            case Command::Recent:
                window.findChild<QAction*>(QStringLiteral("recent file 1"))->trigger();
                break;
            case Command::Exit:
                RunItem("&X.退出");
                break;
            case Command::CloseBox:
                closed = window.close();
                break;
        }

        EXPECT_EQ(answerer.Texts(), row.messages);
        const std::size_t saveDialogs = row.saveDialog == SaveDialog::NotShown ? 0 : 1;
        const std::size_t openDialogs = row.command == Command::Open && row.goesOn ? 1 : 0;
        EXPECT_EQ(Dialog().Titles().size() - dialogsBefore, saveDialogs + openDialogs);
        if (row.answer == QMessageBox::Yes && row.document == Document::Titled) {
            EXPECT_EQ(Content(titled), typed);
        } else {
            EXPECT_EQ(Content(titled), "old");
        }
        EXPECT_EQ(Content(saved), row.saveDialog == SaveDialog::Chosen ? typed : "<missing>");

        const bool closes = row.command == Command::Exit || row.command == Command::CloseBox;
        if (!row.goesOn) {
            EXPECT_EQ(EditorText(), typed);
            EXPECT_TRUE(window.isVisible());
            EXPECT_FALSE(closed);
        } else if (closes) {
            EXPECT_FALSE(window.isVisible());
        } else if (row.command == Command::New) {
            EXPECT_EQ(EditorText(), "");
            EXPECT_FALSE(window.Editor().ModifiedFlag());
            EXPECT_TRUE(Commands().Documents().CurrentFileName().empty());
        } else {
            EXPECT_EQ(EditorText(), "other file");
            EXPECT_FALSE(window.Editor().ModifiedFlag());
            EXPECT_EQ(Commands().Documents().CurrentFileName(), other);
        }
        Close();
    }
}

constexpr const char* kLoadedOnlyPart =
    "文件中含有0字节或文件结束符(0x1A)，只载入了其前面的内容；保存将截去其后的内容。";

TEST_F(MainWindowDocumentTest, FilesLoadByTheirRulesFromOpenAndFromADrop) {
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
        {"AB\xD6", "AB\xD6", "AB\xD6"},
        {"\xD6\x1A!", "\xD6\x1A!", "\xD6\x1A!"},
        // Large enough to be read and converted on the worker, and cut there.
        {LargeText() + "\x1A" + "B", LargeText(), LargeText() + "\x1A" + "B"},
    };
    // A load that stopped early says so once; answered here, and counted.
    MessageBoxAnswerer answerer;
    const auto told = [&answerer] {
        return answerer.Texts().count(QString::fromUtf8(kLoadedOnlyPart));
    };
    MainWindow& window = OpenBound();
    const Text path = PathOf("文件.txt");
    const QString caption = QStringLiteral("Velmor记事本增强版 - ") + FileSystemPath(path);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        Put(path, row.bytes);
        Dialog().Answer(path);
        qsizetype before = told();
        const bool large = row.bytes.size() >= kBackgroundTextBytes;
        int runs = window.Background().Runs();
        RunItem("&O.打开");
        EXPECT_EQ(EditorText(), row.opened);
        EXPECT_EQ(WidgetBytes(), GbkToUtf8(row.opened));
        EXPECT_EQ(window.Background().Runs() - runs, large ? 1 : 0);
        EXPECT_EQ(Caption(), caption);
        EXPECT_EQ(told() - before, row.opened.size() < row.bytes.size() ? 1 : 0);

        window.Editor().ReplaceText("before");
        window.setWindowTitle(QStringLiteral("unchanged"));
        before = told();
        runs = window.Background().Runs();
        DropOn(window.Editor().viewport(), {FileSystemPath(path)});
        EXPECT_EQ(EditorText(), row.dropped);
        EXPECT_EQ(WidgetBytes(), GbkToUtf8(row.dropped));
        EXPECT_EQ(window.Background().Runs() - runs, large ? 1 : 0);
        EXPECT_EQ(told() - before, row.dropped.size() < row.bytes.size() ? 1 : 0);
        EXPECT_FALSE(window.Editor().ModifiedFlag()) << "a dropped file is not an edit";
        EXPECT_EQ(Caption(), QStringLiteral("unchanged")) << "a drop leaves the caption";
        EXPECT_EQ(Commands().Documents().CurrentFileName(), path);
    }
}

TEST_F(MainWindowDocumentTest, ADropOfSeveralFilesLoadsTheFirstWithoutAsking) {
    MainWindow& window = OpenBound();
    Put(PathOf("one.txt"), "one");
    Put(PathOf("two.txt"), "two");
    TypeKeys("typed");
    MessageBoxAnswerer answerer;
    DropOn(&window, {FileSystemPath(PathOf("one.txt")), FileSystemPath(PathOf("two.txt"))});
    EXPECT_EQ(EditorText(), "one");
    EXPECT_EQ(Commands().Documents().CurrentFileName(), PathOf("one.txt"));
    EXPECT_TRUE(answerer.Texts().isEmpty());

    DropOn(window.Editor().viewport(), {FileSystemPath(PathOf("gone.txt"))});
    EXPECT_EQ(EditorText(), "") << "an unreadable drop empties the editor";
    EXPECT_EQ(Commands().Documents().CurrentFileName(), PathOf("gone.txt"));
}

TEST_F(MainWindowDocumentTest, AFailedOpenLeavesAnEmptyUntitledDocument) {
    OpenBound();
    Put(PathOf("good.txt"), "good");
    Dialog().Answer(PathOf("good.txt"));
    RunItem("&O.打开");
    MessageBoxAnswerer answerer;
    Dialog().Answer(PathOf("no-such-file.txt"));
    RunItem("&O.打开");
    EXPECT_EQ(answerer.Texts(), QStringList{QStringLiteral("打开文件失败！")});
    EXPECT_EQ(answerer.Titles(), QStringList{QStringLiteral("错误")});
    EXPECT_EQ(Caption(), QStringLiteral("Velmor记事本增强版"));
    EXPECT_EQ(EditorText(), "");
    EXPECT_TRUE(Commands().Documents().CurrentFileName().empty());
    EXPECT_FALSE(Window().RecentFiles().Model().ItemVisible(2)) << "only opened files are listed";
}

TEST_F(MainWindowDocumentTest, OpenAtStartLoadsAsOpenDoes) {
    MainWindow& window = OpenBound();
    const Text path = PathOf("start.txt");
    Put(path,
        "A\x1A"
        "B");
    // A relative name is taken from the working folder and shown in full.
    const Text folder = path.substr(0, path.size() - std::string("start.txt").size());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(FileSystemPath(folder));
    MessageBoxAnswerer answerer;
    window.openAtStart(QStringLiteral("start.txt"));
    QDir::setCurrent(previous);
    EXPECT_EQ(EditorText(), "A");
    EXPECT_EQ(answerer.Texts(), QStringList{QString::fromUtf8(kLoadedOnlyPart)});
    EXPECT_EQ(answerer.Titles(), QStringList{QStringLiteral("信息：")});
    EXPECT_EQ(Caption(), QStringLiteral("Velmor记事本增强版 - ") + FileSystemPath(path));
    EXPECT_EQ(window.RecentFiles().Model().Slot(1), path);
    EXPECT_TRUE(window.findChild<QAction*>(QStringLiteral("recent file 1"))->isVisible());
    EXPECT_EQ(Dialog().InitialFolder(), folder);
    EXPECT_FALSE(window.Editor().ModifiedFlag());
}

TEST_F(MainWindowDocumentTest, SaveAsksForANameOnceAndListsTheFile) {
    MainWindow& window = OpenBound();
    window.Editor().ReplaceText("\xD6\xD0");
    window.Editor().SetSelectionStart(1);
    TypeKeys("1");
    const Text path = PathOf("named.txt");
    Dialog().Answer(std::nullopt);
    RunItem("&S.保存");
    EXPECT_TRUE(window.Editor().ModifiedFlag());
    Dialog().Answer(path);
    RunItem("&S.保存");
    EXPECT_EQ(Content(path),
              "\xD6\xD0"
              "1");
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    EXPECT_EQ(Caption(), QStringLiteral("Velmor记事本增强版 V3.0")) << "saving leaves the caption";
    EXPECT_EQ(window.RecentFiles().Model().Slot(1), path);
    TypeKeys("2");
    RunItem("&S.保存");
    EXPECT_EQ(Content(path),
              "\xD6\xD0"
              "12");
    EXPECT_EQ(Dialog().Titles(), (std::vector<std::string>{"请输入欲另存到的文本文件名：",
                                                           "请输入欲另存到的文本文件名："}));

    // The recent item opens the file again without changing the list.
    RunItem("&N.新建");
    window.findChild<QAction*>(QStringLiteral("recent file 1"))->trigger();
    EXPECT_EQ(EditorText(),
              "\xD6\xD0"
              "12");
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("recent file 2"))->isVisible());
}

TEST_F(MainWindowDocumentTest, AFailedSaveLeavesTheOldFileIntact) {
    MainWindow& window = OpenBound();
    const Text path = PathOf("kept.txt");
    Put(path, "old content");
    Dialog().Answer(path);
    RunItem("&O.打开");
    window.Editor().ReplaceText(std::string(100000, 'n'));
    TypeKeys("x");
    MessageBoxAnswerer answerer;
    {
        FileSizeLimit limit(4096);
        RunItem("&S.保存");
    }
    EXPECT_EQ(answerer.Texts(), QStringList{kSaveFailed});
    EXPECT_EQ(Content(path), "old content");
    EXPECT_TRUE(window.Editor().ModifiedFlag()) << "the unsaved text is still asked about";
    EXPECT_EQ(Commands().Documents().CurrentFileName(), path);
}

}  // namespace
}  // namespace velmor
