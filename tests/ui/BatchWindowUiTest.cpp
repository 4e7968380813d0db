#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <set>
#include <thread>

#include "../support/LocalHttpServer.h"
#include "WindowCommandsTestSupport.h"
#include "files/dialogs/BatchWindow.h"
#include "files/dialogs/ProgressWindow.h"
#include "files/dialogs/WindowHttpClient.h"
#include "platform/LocalFileSystem.h"

namespace velmor {
namespace {

using namespace std::chrono_literals;

template <class Widget>
Widget* Child(QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

BatchWindow* FindBatchWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* batch = qobject_cast<BatchWindow*>(widget)) {
            return batch;
        }
    }
    return nullptr;
}

class BatchWindowUiTest : public ::testing::Test, protected test::WindowFixture {
protected:
    BatchWindowUiTest() {
        TestServices().files = &m_files;
        TestServices().http = &m_http;
    }

    // The progress window the program itself hands its runs.
    void UseProgressWindows() {
        TestServices().progress =
            [](const std::string& title) -> std::unique_ptr<ProgressReporter> {
            return std::make_unique<ProgressWindow>(title);
        };
    }
    QString PathOf(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    void Put(const char* name, const ByteString& bytes) {
        ASSERT_EQ(m_files.Save(PathOf(name).toStdString(), bytes), "");
    }
    ByteString Get(const QString& path) const {
        return m_files.Read(path.toStdString(), 1 << 20).bytes.value_or("<none>");
    }

    QTemporaryDir m_dir;
    LocalFileSystem m_files;
    WindowHttpClient m_http{{2s, 8s, 1 << 20}};
};

TEST_F(BatchWindowUiTest, MadeHiddenAtStartAndShownOnEachItemsTab) {
    MainWindow& window = Open();
    BatchWindow* batch = FindBatchWindow();
    ASSERT_NE(batch, nullptr);
    EXPECT_FALSE(batch->isVisible());
    EXPECT_EQ(batch->windowTitle(), QString::fromUtf8("文件批量操作"));
    auto* tabs = Child<QTabWidget>(*batch, "选项卡1");
    const struct {
        const char* item;
        int tab;
    } rows[] = {{"增/删 文件头/尾", 1}, {"编码转换", 2}, {"合并/拆分", 0}};
    for (const auto& row : rows) {
        window.CommandAction(row.item)->trigger();
        EXPECT_TRUE(batch->isVisible()) << row.item;
        EXPECT_EQ(tabs->currentIndex(), row.tab) << row.item;
    }
    // Closing hides: the same window, lists and all, comes back.
    Put("a.txt", "abc");
    batch->SetChoosers({[&](QWidget&) { return QStringList{PathOf("a.txt")}; },
                        [](QWidget&) { return std::nullopt; }});
    Child<QPushButton>(*batch, "按钮_添加2")->click();
    EXPECT_FALSE(batch->close());
    EXPECT_FALSE(batch->isVisible());
    window.CommandAction("增/删 文件头/尾")->trigger();
    EXPECT_EQ(FindBatchWindow(), batch);
    EXPECT_EQ(Child<QListWidget>(*batch, "列表框2")->count(), 1);
    EXPECT_EQ(Child<QListWidget>(*batch, "列表框2")->item(0)->text(), PathOf("a.txt"));
}

TEST_F(BatchWindowUiTest, MergesAndSplitsFilesChosenInTheWindow) {
    Open();
    Put("文件 一.txt", "x\r\ny");
    Put(".点", "z");
    QDir(m_dir.path()).mkdir(QStringLiteral("输出"));
    BatchWindow* batch = FindBatchWindow();
    std::optional<QString> folder = PathOf("输出");
    batch->SetChoosers({[&](QWidget&) {
                            return QStringList{PathOf("文件 一.txt"), PathOf(".点")};
                        },
                        [&](QWidget&) { return folder; }});
    Child<QPushButton>(*batch, "按钮_添加1")->click();
    Child<QPushButton>(*batch, "按钮5")->click();
    auto* output = Child<QLineEdit>(*batch, "编辑框_目录1");
    EXPECT_EQ(output->text(), PathOf("输出") + "/");
    // A cancelled folder browser keeps the folder chosen before.
    folder.reset();
    Child<QPushButton>(*batch, "按钮5")->click();
    EXPECT_EQ(output->text(), PathOf("输出") + "/");

    test::MessageBoxAnswerer answerer;
    Child<QPushButton>(*batch, "按钮_合并")->click();
    Child<QPushButton>(*batch, "按钮_拆分")->click();
    EXPECT_EQ(answerer.Texts(), (QStringList{"文件合并成功！", "文件拆分完成！"}));
    EXPECT_EQ(answerer.Titles(), (QStringList{"信息：", "信息："}));
    // Each box leaves its title bar room for the whole title beside the frame's buttons.
    const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    for (const int width : answerer.Widths()) {
        EXPECT_GE(width, title.horizontalAdvance(QStringLiteral("信息：")) + 120);
    }
    EXPECT_EQ(Get(PathOf("输出/2017359300_合并.txt")), "x\r\ny\r\nz");
    EXPECT_EQ(Get(PathOf("输出/文件 一_1.txt")), "x");
    EXPECT_EQ(Get(PathOf("输出/文件 一_2.txt")), "y");
    EXPECT_EQ(Get(PathOf("输出/_1.txt")), "z");
}

// The local disk with every block of a watched read, save or copy slowed down, so that a
// 60 MB run lasts long enough to be watched and cancelled within its file.
class SlowFileSystem : public LocalFileSystem {
public:
    ReadResult Read(const std::string& path, std::uint64_t maxBytes,
                    const ByteProgress& progress = {}) const override {
        return LocalFileSystem::Read(path, maxBytes, Slowed(progress));
    }
    std::string Save(const std::string& path, std::string_view bytes,
                     const ByteProgress& progress = {}) override {
        return LocalFileSystem::Save(path, bytes, Slowed(progress));
    }
    std::string Copy(const std::string& from, const std::string& to,
                     const ByteProgress& progress = {}) override {
        return LocalFileSystem::Copy(from, to, Slowed(progress));
    }

private:
    static ByteProgress Slowed(const ByteProgress& progress) {
        if (!progress) {
            return progress;
        }
        return [progress](std::uint64_t bytes) {
            std::this_thread::sleep_for(2ms);
            return progress(bytes);
        };
    }
};

// Watches a run from a timer, as the user would: notes when the progress window shows and
// each value its bar takes, and presses its 取消 once the bar has moved twice. The timer only
// fires while the run lets the window's events through.
class ProgressWatch {
public:
    ProgressWatch() : m_started(std::chrono::steady_clock::now()) {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Look(); });
        m_timer.start(20);
    }

    std::optional<std::chrono::steady_clock::duration> shownAfter;
    std::set<int> values;

private:
    void Look() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(widget);
            if (progress == nullptr || !progress->isVisible() ||
                progress->objectName() != QString::fromUtf8("文件进度")) {
                continue;
            }
            if (!shownAfter) {
                shownAfter = std::chrono::steady_clock::now() - m_started;
            }
            values.insert(progress->value());
            auto* cancel = progress->findChild<QPushButton*>();
            if (values.size() >= 3 && cancel != nullptr && cancel->isVisible()) {
                EXPECT_EQ(cancel->text(), QString::fromUtf8("取消"));
                cancel->click();
            }
        }
    }

    std::chrono::steady_clock::time_point m_started;
    QTimer m_timer;
};

ByteString SixtyMegabytes() {
    ByteString content;
    content.reserve(60'000'000);
    const ByteString line = ByteString(98, 'x') + "\r\n";
    for (int i = 0; i < 600'000; ++i) {
        content += line;
    }
    return content;
}

TEST_F(BatchWindowUiTest, ALargeSplitShowsItsProgressAtOnceAndCancels) {
    UseProgressWindows();
    Open();
    // 60 MB for 600 000 pieces of a hundred bytes.
    Put("big.txt", SixtyMegabytes());
    QDir(m_dir.path()).mkdir(QStringLiteral("pieces"));
    BatchWindow* batch = FindBatchWindow();
    batch->SetChoosers({[&](QWidget&) { return QStringList{PathOf("big.txt")}; },
                        [&](QWidget&) { return std::optional<QString>(PathOf("pieces")); }});
    Child<QPushButton>(*batch, "按钮_添加1")->click();
    Child<QPushButton>(*batch, "按钮5")->click();

    // The progress window must come up while the run goes on, and its 取消 must end it.
    test::MessageBoxAnswerer answerer;
    ProgressWatch watch;
    Child<QPushButton>(*batch, "按钮_拆分")->click();
    ASSERT_TRUE(watch.shownAfter.has_value()) << "no progress window during the split";
    EXPECT_LT(*watch.shownAfter, 1s);
    EXPECT_GE(watch.values.size(), 3u) << "the bar did not move";
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(
        answerer.Texts()[0].startsWith(QString::fromUtf8("文件拆分已取消：已处理 0 个文件。")))
        << answerer.Texts()[0].toStdString();
    EXPECT_FALSE(QFile::exists(PathOf("pieces/big_600000.txt")));
}

// One 60 MB file merged, edited at its head with a backup, or converted: the progress
// window shows, its bar moves while the file is read, and 取消 stops the run within the file,
// which is left as it was with no backup or working file made.
TEST_F(BatchWindowUiTest, ALargeFileShowsItsProgressAndCancelsWithinIt) {
    UseProgressWindows();
    SlowFileSystem slow;
    TestServices().files = &slow;
    MainWindow& window = Open();
    const ByteString content = SixtyMegabytes();
    Put("big.txt", content);
    QDir(m_dir.path()).mkdir(QStringLiteral("out"));
    BatchWindow* batch = FindBatchWindow();
    batch->SetChoosers({[&](QWidget&) { return QStringList{PathOf("big.txt")}; },
                        [&](QWidget&) { return std::optional<QString>(PathOf("out")); }});
    Child<QPushButton>(*batch, "按钮5")->click();
    Child<QCheckBox>(*batch, "选择框_头")->click();
    Child<QCheckBox>(*batch, "选择框_备份")->click();
    Child<QCheckBox>(*batch, "选择框_备份3")->click();
    QTest::keyClicks(Child<QLineEdit>(*batch, "编辑框_关键字"), QStringLiteral("#"));
    const struct {
        const char* item;
        const char* add;
        const char* button;
        const char* message;
    } rows[] = {
        {"合并/拆分", "按钮_添加1", "按钮_合并",
         "文件合并已取消：已读取 0 / 1 个文件，未写入合并后的文件。"},
        {"增/删 文件头/尾", "按钮_添加2", "按钮_执行",
         "增/删 文件头/尾已取消：已处理 0 个文件。\n以下文件未能处理：\n"},
        {"编码转换", "按钮_添加3", "按钮_转换",
         "编码转换已取消：已处理 0 个文件。\n以下文件未能处理：\n"},
    };
    for (const auto& row : rows) {
        window.CommandAction(row.item)->trigger();
        Child<QPushButton>(*batch, row.add)->click();
        test::MessageBoxAnswerer answerer;
        ProgressWatch watch;
        Child<QPushButton>(*batch, row.button)->click();
        ASSERT_TRUE(watch.shownAfter.has_value()) << row.item << ": no progress window";
        EXPECT_LT(*watch.shownAfter, 1s) << row.item;
        EXPECT_GE(watch.values.size(), 3u) << row.item << ": the bar did not move";
        ASSERT_EQ(answerer.Texts().size(), 1) << row.item;
        EXPECT_TRUE(answerer.Texts()[0].startsWith(QString::fromUtf8(row.message)))
            << answerer.Texts()[0].toStdString();
        EXPECT_TRUE(m_files.Read(PathOf("big.txt").toStdString(), 1 << 30).bytes == content)
            << row.item << ": the file was changed";
        EXPECT_EQ(
            QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"big.txt", "out"}))
            << row.item;
        EXPECT_TRUE(QDir(PathOf("out")).isEmpty()) << row.item;
    }
}

TEST_F(BatchWindowUiTest, RemovesTheSelectedItemAndClearsItsOwnList) {
    Open();
    BatchWindow* batch = FindBatchWindow();
    batch->SetChoosers({[](QWidget&) {
                            return QStringList{"/a", "/b", "/c"};
                        },
                        [](QWidget&) { return std::nullopt; }});
    Child<QPushButton>(*batch, "按钮_添加3")->click();
    Child<QPushButton>(*batch, "按钮_添加1")->click();
    auto* list = Child<QListWidget>(*batch, "列表框3");
    list->setCurrentRow(1);
    Child<QPushButton>(*batch, "按钮_删除3")->click();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "/c");
    Child<QPushButton>(*batch, "按钮_清空3")->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(Child<QListWidget>(*batch, "列表框1")->count(), 3);
}

// The run's one window holds every tab: Enter presses the action of the tab shown, and on the
// merge tab, whose two buttons both write files, nothing.
TEST_F(BatchWindowUiTest, EnterPressesTheActionOfTheShownTab) {
    MainWindow& window = Open();
    BatchWindow* batch = FindBatchWindow();
    test::MessageBoxAnswerer answerer;
    const auto enterIn = [&](const char* item, QWidget* widget) {
        window.CommandAction(item)->trigger();
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
    };
    enterIn("增/删 文件头/尾", Child<QLineEdit>(*batch, "编辑框_关键字"));
    enterIn("编码转换", Child<QListWidget>(*batch, "列表框3"));
    Child<QRadioButton>(*batch, "单选框2")->click();
    enterIn("合并/拆分", Child<QLineEdit>(*batch, "编辑框_自定义1"));
    EXPECT_EQ(answerer.Texts(),
              (QStringList{"未添加需要 增删文件头尾的文件！", "未添加需要转换编码的文件！"}));
}

class FetchUiTest : public BatchWindowUiTest {
protected:
    FetchUiTest() {
        m_server.Answer("/page", {"HTTP/1.0 200 OK\r\n\r\n<b>\xD6\xD0</b>"});
        m_server.Answer("/slow", {"HTTP/1.0 200 OK\r\n\r\n", 10s});
    }

    // Types the address into the open fetch dialog and presses "打开".
    void Fetch(const std::string& address) {
        QWidget* dialog = Window().Dialogs().Find("取网址源码");
        ASSERT_NE(dialog, nullptr);
        auto* field = Child<QLineEdit>(*dialog, "编辑框1");
        field->clear();
        QTest::keyClicks(field, QString::fromStdString(address));
        Child<QPushButton>(*dialog, "按钮1")->click();
    }

    test::LocalHttpServer m_server;
};

TEST_F(FetchUiTest, ThePageReplacesTheDocument) {
    MainWindow& window = Open();
    window.Editor().ReplaceText("old");
    window.CommandAction("取网址源码")->trigger();
    Fetch(m_server.Url("/page").substr(7));  // without the scheme: "http://" goes in front
    EXPECT_EQ(window.Editor().ReadText(), "<b>\xD6\xD0</b>");
}

TEST_F(FetchUiTest, AFailureOrACancelKeepsTheDocumentAndSaysWhy) {
    MainWindow& window = Open();
    window.Editor().ReplaceText("old");
    window.CommandAction("取网址源码")->trigger();
    test::MessageBoxAnswerer answerer;
    Fetch("httpx://nowhere");
    // The progress window's cancel stops a transfer that would otherwise run on.
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, &canceller, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<QProgressDialog*>(widget);
                progress != nullptr && progress->isVisible()) {
                if (auto* button = progress->findChild<QPushButton*>()) {
                    button->click();
                }
            }
        }
    });
    canceller.start(100);
    const auto started = std::chrono::steady_clock::now();
    Fetch(m_server.Url("/slow"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);
    EXPECT_EQ(window.Editor().ReadText(), "old");
    EXPECT_EQ(answerer.Texts(),
              (QStringList{"获取网页失败：只能获取 http 或 https 网址", "获取网页失败：已取消"}));
}

}  // namespace
}  // namespace velmor
