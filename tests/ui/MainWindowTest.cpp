#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "MainWindowTestSupport.h"

namespace velmor {
namespace {

using test::WindowFixture;

// The menu bar as the user sees it: depth, caption ("-" for a separator), portable
// shortcut text and whether the item starts hidden.
struct MenuRow {
    int depth;
    std::string caption;
    std::string shortcut;
    bool hidden;

    bool operator==(const MenuRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const MenuRow& row) {
    return out << std::string(static_cast<std::size_t>(row.depth) * 2, ' ') << row.caption << " ["
               << row.shortcut << "]" << (row.hidden ? " hidden" : "");
}

const std::vector<MenuRow> kExpectedMenu = {
    {0, "&F.文件", "", false},
    {1, "&N.新建", "Ctrl+N", false},
    {1, "&O.打开", "Ctrl+O", false},
    {1, "取网址源码", "", false},
    {1, "&S.保存", "Ctrl+S", false},
    {1, "&A.另存为", "", false},
    {1, "&P.打印", "Ctrl+P", false},
    {1, "-", "", false},
    {1, "多文件", "", false},
    {2, "合并/拆分", "", false},
    {2, "增/删 文件头/尾", "", false},
    {2, "编码转换", "", false},
    {1, "-", "", true},
    {1, "recent file 1", "", true},
    {1, "recent file 2", "", true},
    {1, "recent file 3", "", true},
    {1, "-", "", false},
    {1, "&X.退出", "", false},
    {0, "&E.编辑", "", false},
    {1, "&U.撤消", "Ctrl+Z", false},
    {1, "重做", "Ctrl+Y", false},
    {1, "-", "", false},
    {1, "&X.剪切", "Ctrl+X", false},
    {1, "&C.复制", "Ctrl+C", false},
    {1, "&P.粘贴", "Ctrl+V", false},
    {1, "-", "", false},
    {1, "&A.全选", "Ctrl+A", false},
    {0, "&O.格式", "", false},
    {1, "&W.自动换行", "", false},
    {1, "&F.字体", "", false},
    {0, "&S.搜寻", "", false},
    {1, "&F.查找", "Ctrl+F", false},
    {1, "&P.查找上一个", "Shift+F3", false},
    {1, "&N.查找下一个", "F3", false},
    {0, "&A.修正", "", false},
    {1, "转换", "", false},
    {2, "到大写", "", false},
    {2, "到小写", "", false},
    {2, "到简体", "", false},
    {2, "到繁体", "", false},
    {2, "到全角", "", false},
    {2, "到半角", "", false},
    {1, "筛选", "", false},
    {2, "汉字", "", false},
    {2, "字母", "", false},
    {2, "数字", "", false},
    {2, "符号", "", false},
    {1, "-", "", false},
    {1, "&R.基本替换", "Ctrl+H", false},
    {1, "高级替换", "", false},
    {2, "换行符前后文本", "", false},
    {2, "Tab前后文本", "", false},
    {1, "&Z.正则替换/提取", "", false},
    {1, "-", "", false},
    {1, "换行符", "", false},
    {2, "多换行符变单换行符", "", false},
    {2, "连续换行符数量变更", "", false},
    {1, "分割文本", "", false},
    {1, "空格", "", false},
    {2, "段前增减", "", false},
    {2, "删除", "", false},
    {1, "保留指定位置", "", false},
    {1, "-", "", false},
    {1, "段", "", false},
    {2, "插入序号文本", "Ctrl+K", false},
    {2, "插入固定文本", "", false},
    {2, "插入整段", "", false},
    {2, "删除/保留段", "", false},
    {2, "删除/保留段部分", "", false},
    {2, "合并", "", false},
    {1, "-", "", false},
    {1, "时间", "", false},
    {2, "&T.插入时间", "Ctrl+T", false},
    {2, "时分秒到秒", "", false},
    {2, "秒到时分秒", "", false},
    {1, "-", "", false},
    {1, "编码/解码", "", false},
    {0, "生成", "", false},
    {1, "带序号文本", "", false},
    {1, "变量文本", "Ctrl+L", false},
    {1, "账号密码", "", false},
    {1, "随机文本", "", false},
    {0, "脚本", "", false},
    {1, "运行VBS", "F8", false},
    {1, "运行BAT", "F9", false},
    {0, "&H.帮助", "", false},
    {1, "&A.关于...", "", false},
};

void CollectRows(const QList<QAction*>& actions, int depth, std::vector<MenuRow>& rows) {
    for (QAction* action : actions) {
        MenuRow row{depth, action->text().toStdString(),
                    action->shortcut().toString(QKeySequence::PortableText).toStdString(),
                    !action->isVisible()};
        if (action->isSeparator()) {
            row.caption = "-";
        } else if (action->objectName().startsWith(QLatin1String("recent file"))) {
            row.caption = action->objectName().toStdString();
        }
        rows.push_back(row);
        if (action->menu() != nullptr) {
            CollectRows(action->menu()->actions(), depth + 1, rows);
        }
    }
}

std::vector<QAction*> AllCommandActions(MainWindow& window) {
    std::vector<QAction*> actions;
    for (const std::string& caption : MenuCommandCaptions()) {
        actions.push_back(window.CommandAction(caption));
    }
    return actions;
}

class MainWindowTest : public ::testing::Test, protected WindowFixture {};

TEST_F(MainWindowTest, MenuBarMatchesTheTable) {
    MainWindow& window = Open();
    std::vector<MenuRow> rows;
    CollectRows(window.menuBar()->actions(), 0, rows);
    ASSERT_EQ(rows.size(), kExpectedMenu.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i], kExpectedMenu[i]) << "row " << i;
    }
}

TEST_F(MainWindowTest, ItemsAreNamedAfterTheirCaptions) {
    MainWindow& window = Open();
    for (const MenuRow& row : kExpectedMenu) {
        if (row.caption == "-") {
            continue;
        }
        const QString name = QString::fromStdString(row.caption);
        EXPECT_NE(window.findChild<QAction*>(name), nullptr) << row.caption;
        if (row.depth == 0) {
            EXPECT_NE(window.findChild<QMenu*>(name), nullptr) << row.caption;
        }
    }
    QAction* shortcut = window.CommandAction("插入序号文本");
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->shortcutContext(), Qt::WindowShortcut);
}

TEST_F(MainWindowTest, CaptionPositionAndLayout) {
    MainWindow& window = Open();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmor记事本增强版 V3.0"));
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(50, 50));
    EXPECT_EQ(window.frameGeometry().size(), QSize(636, 498));

    auto* editor = window.findChild<ScintillaEditor*>(QStringLiteral("编辑框"));
    auto* picture = window.findChild<QLabel*>(QStringLiteral("图片框2"));
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(editor->parentWidget(), window.centralWidget());
    EXPECT_EQ(picture->parentWidget(), window.centralWidget());
    // The editor fills the client area below the menu bar, whatever the size; the picture
    // keeps its distance from the editor's lower right corner.
    struct Size {
        int width, height;
    };
    for (const Size size :
         {Size{636, 498}, Size{800, 600}, Size{300, 200}, Size{1600, 1000}, Size{636, 498}}) {
        window.resize(size.width, size.height);
        QApplication::processEvents();
        const QRect client = window.centralWidget()->rect();
        EXPECT_EQ(window.centralWidget()->geometry().top(),
                  window.menuBar()->geometry().bottom() + 1);
        EXPECT_EQ(window.centralWidget()->geometry().bottom(), window.rect().bottom());
        EXPECT_EQ(editor->geometry(), client) << size.width << "x" << size.height;
        EXPECT_EQ(picture->geometry(), QRect(client.width() - 41, client.height() - 43, 21, 21))
            << size.width << "x" << size.height;
    }
    window.showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(editor->geometry(), window.centralWidget()->rect()) << "maximised";
}

TEST_F(MainWindowTest, PictureCarriesTheBalloonTipAndImage) {
    MainWindow& window = Open();
    auto* picture = window.findChild<QLabel*>(QStringLiteral("图片框2"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->toolTip(), QStringLiteral("定做软件、提交软件建议或意见，请点击这里！"));
    EXPECT_EQ(picture->size(), QSize(21, 21));
    EXPECT_EQ(picture->pixmap().size(), QSize(21, 21));
    EXPECT_TRUE(window.acceptDrops());
}

TEST_F(MainWindowTest, ItemsWithoutAnythingBehindThemAreDisabled) {
    MainWindow& window = Open();
    for (QAction* action : AllCommandActions(window)) {
        ASSERT_NE(action, nullptr);
        const Command* command =
            window.Registry().FindByCaption(action->objectName().toStdString());
        ASSERT_NE(command, nullptr) << action->objectName().toStdString();
        const bool built = !command->windowOnly && command->run;
        const bool hasForm = command->dialog != nullptr && window.Dialogs().Has(command->caption);
        if (!built && !hasForm) {
            EXPECT_FALSE(action->isEnabled()) << command->caption;
        } else {
            EXPECT_TRUE(action->isEnabled()) << command->caption;
        }
    }
    // Window-only commands wait for their handlers.
    EXPECT_FALSE(window.CommandAction("&N.新建")->isEnabled());
    EXPECT_FALSE(window.CommandAction("&U.撤消")->isEnabled());
}

TEST_F(MainWindowTest, WindowHandlerEnablesItsItemAndRunsTheNoticeStep) {
    MainWindow& window = Open();
    int noticeSteps = 0;
    window.Access().SetSupportNoticeStep([&] { ++noticeSteps; });
    int copies = 0;
    int news = 0;
    window.SetWindowHandler("&C.复制", [&] { ++copies; });
    window.SetWindowHandler("&N.新建", [&] { ++news; });
    ASSERT_TRUE(window.CommandAction("&C.复制")->isEnabled());
    window.CommandAction("&C.复制")->trigger();
    window.CommandAction("&N.新建")->trigger();
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(news, 1);
    // Copy ends with the notice step, New does not.
    EXPECT_EQ(noticeSteps, 1);
}

TEST_F(MainWindowTest, DirectCommandChangesTheEditorText) {
    MainWindow& window = Open();
    const Command* upper = window.Registry().FindByCaption("到大写");
    if (upper == nullptr || !upper->run) {
        GTEST_SKIP() << "到大写 is not registered yet";
    }
    window.Editor().ReplaceText("abc \xD6\xD0 xyz");
    QAction* action = window.CommandAction("到大写");
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    EXPECT_EQ(window.Editor().ReadText(), "ABC \xD6\xD0 XYZ");
}

TEST_F(MainWindowTest, DialogHostBringsAnOpenDialogToTheFront) {
    MainWindow& window = Open();
    int created = 0;
    window.Dialogs().Register("free", [&](CommandContext&) {
        ++created;
        return new QWidget;
    });
    window.Dialogs().Register(
        "owned",
        [&](CommandContext&) {
            ++created;
            return new QWidget;
        },
        DialogHost::Owner::Window);

    QPointer<QWidget> free = window.Dialogs().Open("free");
    ASSERT_NE(free, nullptr);
    EXPECT_EQ(window.Dialogs().Open("free"), free.data());
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(free->isVisible());
    EXPECT_TRUE(free->isWindow());
    EXPECT_EQ(free->parentWidget(), nullptr);

    QPointer<QWidget> owned = window.Dialogs().Open("owned");
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(owned->parentWidget(), &window);
    EXPECT_TRUE(owned->isWindow());

    // A closed dialog opens fresh next time.
    free->close();
    QApplication::processEvents();
    EXPECT_TRUE(free.isNull());
    QPointer<QWidget> again = window.Dialogs().Open("free");
    EXPECT_EQ(created, 3);

    // The end of the window closes every dialog.
    Close();
    EXPECT_TRUE(again.isNull());
    EXPECT_TRUE(owned.isNull());
}

TEST_F(MainWindowTest, DialogCommandOpensItsFormThenRunsTheNoticeStep) {
    MainWindow& window = Open();
    const Command* dialogCommand = nullptr;
    for (const Command& command : window.Registry().All()) {
        if (command.dialog != nullptr && command.supportNotice) {
            dialogCommand = &command;
            break;
        }
    }
    if (dialogCommand == nullptr) {
        GTEST_SKIP() << "no dialog command with the notice step is registered yet";
    }
    int noticeSteps = 0;
    window.Access().SetSupportNoticeStep([&] { ++noticeSteps; });
    window.RegisterDialogForm(dialogCommand->caption, [](CommandContext&) { return new QWidget; });
    QAction* action = window.CommandAction(dialogCommand->caption);
    ASSERT_TRUE(action->isEnabled());
    action->trigger();
    action->trigger();
    EXPECT_NE(window.Dialogs().Find(dialogCommand->caption), nullptr);
    EXPECT_EQ(noticeSteps, 2);
}

// Answers the next message box with the given button, recording how it looked.
struct MessageProbe {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString title;
    QString text;
    bool ownerless = false;

    void AnswerNext(QMessageBox::StandardButton answer) {
        QTimer::singleShot(0, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            buttons = box->standardButtons();
            title = box->windowTitle();
            text = box->text();
            ownerless = box->parentWidget() == nullptr;
            box->button(answer)->click();
        });
    }
};

TEST_F(MainWindowTest, MessagesShowTheirKindAndReportTheAnswer) {
    MainWindow& window = Open();
    MessageProbe probe;

    probe.AnswerNext(QMessageBox::Ok);
    EXPECT_EQ(window.Access().ShowMessage(MessageKind::Error, "保存文件失败！", kErrorTitle),
              MessageAnswer::None);
    EXPECT_EQ(probe.icon, QMessageBox::Critical);
    EXPECT_EQ(probe.buttons, QMessageBox::Ok);
    EXPECT_EQ(probe.title, QStringLiteral("错误"));
    EXPECT_EQ(probe.text, QStringLiteral("保存文件失败！"));
    EXPECT_TRUE(probe.ownerless);

    probe.AnswerNext(QMessageBox::Ok);
    EXPECT_EQ(window.Access().ShowMessage(MessageKind::Information, "完成", kInformationTitle),
              MessageAnswer::None);
    EXPECT_EQ(probe.icon, QMessageBox::NoIcon);
    EXPECT_EQ(probe.buttons, QMessageBox::Ok);
    EXPECT_EQ(probe.title, QStringLiteral("信息："));

    const std::pair<QMessageBox::StandardButton, MessageAnswer> answers[] = {
        {QMessageBox::Yes, MessageAnswer::Yes},
        {QMessageBox::No, MessageAnswer::No},
        {QMessageBox::Cancel, MessageAnswer::Cancel},
    };
    for (const auto& [button, answer] : answers) {
        probe.AnswerNext(button);
        EXPECT_EQ(window.Access().ShowMessage(MessageKind::Question, "是否保存？", kQuestionTitle),
                  answer);
        EXPECT_EQ(probe.icon, QMessageBox::Question);
        EXPECT_EQ(probe.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(probe.title, QStringLiteral("询问"));
    }
}

TEST_F(MainWindowTest, OpenAtStartReachesItsHook) {
    MainWindow& window = Open();
    QString opened;
    window.SetOpenAtStartHandler([&](const QString& path) { opened = path; });
    window.openAtStart(QStringLiteral("/tmp/文件.txt"));
    EXPECT_EQ(opened, QStringLiteral("/tmp/文件.txt"));
}

TEST_F(MainWindowTest, CloseRequestCanRefuse) {
    MainWindow& window = Open();
    window.show();
    bool allow = false;
    window.SetCloseRequest([&] { return allow; });
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    window.CloseWithoutRequest();
    EXPECT_FALSE(window.isVisible());
    window.show();
    allow = true;
    EXPECT_TRUE(window.close());
}

}  // namespace
}  // namespace velmor
