#include <gtest/gtest.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>

#include "PdfTools.h"
#include "WindowCommandsTestSupport.h"
#include "app/AboutWindow.h"
#include "app/FontDialog.h"
#include "app/UiDump.h"

namespace velmor {
namespace {

using test::CommandsFixture;

class MainWindowEditTest : public ::testing::Test, protected CommandsFixture {};

TEST_F(MainWindowEditTest, EveryFileEditFormatAndHelpItemIsBound) {
    MainWindow& window = OpenBound();
    for (const char* caption :
         {"&N.新建", "&O.打开", "&S.保存", "&A.另存为", "&P.打印", "&X.退出", "&U.撤消", "重做",
          "&X.剪切", "&C.复制", "&P.粘贴", "&A.全选", "&W.自动换行", "&F.字体", "&A.关于..."}) {
        ASSERT_NE(window.CommandAction(caption), nullptr) << caption;
        EXPECT_TRUE(window.CommandAction(caption)->isEnabled()) << caption;
    }
}

TEST_F(MainWindowEditTest, UndoAndRedoFollowTheTypedStates) {
    MainWindow& window = OpenBound();
    TypeKeys("a");
    TypeKeys("b");
    TypeKeys("c");
    ASSERT_EQ(EditorText(), "abc");
    const char* const steps[][2] = {
        {"&U.撤消", "ab"}, {"&U.撤消", "a"}, {"重做", "ab"}, {"重做", "abc"}, {"&U.撤消", "ab"},
    };
    for (const auto& [caption, expected] : steps) {
        RunItem(caption);
        EXPECT_EQ(EditorText(), expected) << caption;
    }
    // A new keystroke after an undo forgets the undone states, so Redo finds nothing; the
    // step it took over the empty slot is undone without a visible change.
    window.Editor().SetSelectionStart(2);
    TypeKeys("x");
    EXPECT_EQ(EditorText(), "abx");
    const char* const after[][2] = {{"重做", "abx"}, {"&U.撤消", "abx"}, {"&U.撤消", "ab"}};
    for (const auto& [caption, expected] : after) {
        RunItem(caption);
        EXPECT_EQ(EditorText(), expected) << caption;
    }
    EXPECT_TRUE(window.Editor().ModifiedFlag());
}

// A right click on the editor brings up the Edit menu itself: Chinese captions, every item
// enabled, and its undo going back through the window's history.
TEST_F(MainWindowEditTest, TheEditorsContextMenuIsTheEditMenu) {
    MainWindow& window = OpenBound();
    TypeKeys("a");
    TypeKeys("b");
    QWidget* viewport = window.Editor().viewport();
    const QPoint at(10, 10);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu came up";
    QStringList captions;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            captions << action->text();
            EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
        }
    }
    EXPECT_EQ(captions,
              (QStringList{"&U.撤消", "重做", "&X.剪切", "&C.复制", "&P.粘贴", "&A.全选"}));
    menu->actions().front()->trigger();
    menu->close();
    EXPECT_EQ(EditorText(), "a");
}

TEST_F(MainWindowEditTest, MenuShortcutsReachTheWindowFromTheEditor) {
    MainWindow& window = OpenBound();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        GTEST_SKIP() << "the platform cannot activate the window";
    }
    TypeKeys("ab");
    QWidget* keys = window.Editor().viewport();
    QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), "a");
    QTest::keyClick(keys, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), "ab");
    QTest::keyClick(keys, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window.Editor().SelectionLength(), 2);
    QTest::keyClick(keys, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), "");
    QTest::keyClick(keys, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(EditorText(), "ab");
}

TEST_F(MainWindowEditTest, UndoAfterOpenOrNewReturnsThePreviousText) {
    MainWindow& window = OpenBound();
    TypeKeys("old");
    window.Editor().SetModifiedFlag(false);
    Put(PathOf("loaded.txt"), "loaded");
    Dialog().Answer(PathOf("loaded.txt"));
    RunItem("&O.打开");
    ASSERT_EQ(EditorText(), "loaded");
    ASSERT_FALSE(window.Editor().ModifiedFlag());
    RunItem("&U.撤消");
    EXPECT_EQ(EditorText(), "old");
    EXPECT_TRUE(window.Editor().ModifiedFlag()) << "the undone text differs from the file";

    window.Editor().SetModifiedFlag(false);
    RunItem("&N.新建");
    ASSERT_EQ(EditorText(), "");
    RunItem("&U.撤消");
    EXPECT_EQ(EditorText(), "ol") << "New records nothing, so Undo steps behind the current state";
}

TEST_F(MainWindowEditTest, WordWrapKeepsTheTextAndOneUndoShowsNoChange) {
    MainWindow& window = OpenBound();
    TypeKeys("ab");
    window.Editor().SetModifiedFlag(false);
    ASSERT_TRUE(window.Editor().WordWrap());
    RunItem("&W.自动换行");
    EXPECT_FALSE(window.Editor().WordWrap());
    EXPECT_FALSE(window.CommandAction("&W.自动换行")->isCheckable());
    EXPECT_EQ(EditorText(), "ab");
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    RunItem("&U.撤消");
    EXPECT_EQ(EditorText(), "ab");
    EXPECT_FALSE(window.Editor().ModifiedFlag()) << "an Undo that changes nothing is no edit";
    RunItem("&U.撤消");
    EXPECT_EQ(EditorText(), "a");
    RunItem("&W.自动换行");
    EXPECT_TRUE(window.Editor().WordWrap());
}

TEST_F(MainWindowEditTest, ClipboardCommandsGoToTheEditorWhateverHasTheFocus) {
    MainWindow& window = OpenBound();
    TypeKeys("hello");
    window.Editor().SetModifiedFlag(false);
    auto* other = new QLineEdit(window.centralWidget());
    other->setFocus();

    RunItem("&A.全选");
    EXPECT_EQ(window.Editor().SelectionStart(), 0);
    EXPECT_EQ(window.Editor().SelectionLength(), 5);
    RunItem("&C.复制");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    RunItem("&X.剪切");
    EXPECT_EQ(EditorText(), "");
    EXPECT_TRUE(window.Editor().ModifiedFlag());
    QGuiApplication::clipboard()->setText(QStringLiteral("中\r\nx"));
    RunItem("&P.粘贴");
    RunItem("&P.粘贴");
    EXPECT_EQ(EditorText(), "\xD6\xD0\r\nx\xD6\xD0\r\nx");
    EXPECT_EQ(other->text(), QString());
    RunItem("&U.撤消");
    EXPECT_EQ(EditorText(), "\xD6\xD0\r\nx");
}

// Drives the font dialog once it is up: checks where it starts, then confirms a choice or
// cancels.
struct FontDialogDriver {
    QFont startFont;
    QColor startColor;
    bool seen = false;

    void Next(const QFont& choice, const QColor& color, bool confirm) {
        QTimer::singleShot(0, [this, choice, color, confirm] {
            auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            startFont = dialog->CurrentFont();
            startColor = dialog->CurrentColor();
            dialog->SetCurrentFont(choice);
            dialog->SetCurrentColor(color);
            if (confirm) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
    }
};

TEST_F(MainWindowEditTest, FontDialogSetsFontAndColourAndStartsFromTheLastChoice) {
    MainWindow& window = OpenBound();
    // A family with every style asked for, so the dialog can show the choice as it is.
    QString family;
    for (const QString& candidate : QFontDatabase::families()) {
        if (QFontDatabase::styles(candidate).contains(QStringLiteral("Bold Italic")) &&
            QFontDatabase::pointSizes(candidate).contains(20)) {
            family = candidate;
            break;
        }
    }
    if (family.isEmpty()) {
        GTEST_SKIP() << "no font family with a bold italic style";
    }
    QFont chosen(family, 20);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    const QFont before = window.Editor().TextFont();

    FontDialogDriver driver;
    driver.Next(chosen, Qt::red, true);
    RunItem("&F.字体");
    ASSERT_TRUE(driver.seen);
    EXPECT_EQ(driver.startFont.family(), before.family());
    EXPECT_EQ(driver.startColor, QColor(Qt::black));
    const QFont applied = window.Editor().TextFont();
    EXPECT_EQ(applied.family(), family);
    EXPECT_EQ(applied.pointSize(), 20);
    EXPECT_TRUE(applied.bold());
    EXPECT_TRUE(applied.italic());
    EXPECT_TRUE(applied.underline());
    EXPECT_TRUE(applied.strikeOut());
    EXPECT_EQ(window.Editor().TextColor(), QColor(Qt::red));

    driver.Next(before, Qt::blue, false);
    RunItem("&F.字体");
    EXPECT_EQ(driver.startFont.pointSize(), 20);
    EXPECT_TRUE(driver.startFont.strikeOut());
    EXPECT_EQ(driver.startColor, QColor(Qt::red));
    EXPECT_EQ(window.Editor().TextFont().pointSize(), 20) << "cancel changes nothing";
    EXPECT_EQ(window.Editor().TextColor(), QColor(Qt::red));

    driver.Next(before, Qt::blue, true);
    RunItem("&F.字体");
    EXPECT_EQ(driver.startColor, QColor(Qt::red)) << "a cancelled choice is not remembered";
}

TEST_F(MainWindowEditTest, PrintGoesThroughTheWindowToThePrinter) {
    OpenBound();
    const QString pdf = FileSystemPath(PathOf("out.pdf"));
    Window().Editor().ReplaceText(std::string(2000, 'x') + "\r\n\xD6\xD0\xCE\xC4");
    Commands().SetPrintSetup([](QPrinter&) { return false; });
    RunItem("&P.打印");
    EXPECT_FALSE(QFile::exists(pdf)) << "a cancelled print dialog prints nothing";

    Commands().SetPrintSetup([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    RunItem("&P.打印");
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

// The pages are in the font "&F.字体" chose for the editor: its face, weight and size.
TEST_F(MainWindowEditTest, PrintUsesTheEditorsFont) {
    OpenBound();
    if (!test::HasPdfTool("pdffonts") || !test::HasPdfTool("pdftotext")) {
        GTEST_SKIP() << "poppler-utils is not installed";
    }
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Serif"))) {
        GTEST_SKIP() << "the DejaVu Serif font is not installed";
    }
    QFont chosen(QStringLiteral("DejaVu Serif"), 24);
    chosen.setBold(true);
    FontDialogDriver driver;
    driver.Next(chosen, Qt::black, true);
    RunItem("&F.字体");
    ASSERT_TRUE(driver.seen);

    const QString pdf = FileSystemPath(PathOf("font.pdf"));
    Window().Editor().ReplaceText("Hello \xD6\xD0\xCE\xC4");
    Commands().SetPrintSetup([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    RunItem("&P.打印");
    EXPECT_TRUE(test::PdfFontNames(pdf).contains(QStringLiteral("DejaVuSerif-Bold")))
        << test::PdfFontNames(pdf).join(' ').toStdString();
    // DejaVu's ascent and descent together are 1.16 em.
    const std::optional<double> height = test::PdfWordHeight(pdf, QStringLiteral("Hello"));
    ASSERT_TRUE(height.has_value());
    EXPECT_NEAR(*height, 24 * 1.164, 1.0);
}

TEST_F(MainWindowEditTest, AboutOpensWithoutOwnerAndWithoutBlocking) {
    MainWindow& window = OpenBound();
    RunItem("&A.关于...");
    auto* about = qobject_cast<AboutWindow*>(window.Dialogs().Find("&A.关于..."));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->isWindow());
    EXPECT_EQ(about->parentWidget(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于"));
    RunItem("&A.关于...");
    EXPECT_EQ(window.Dialogs().Find("&A.关于..."), about) << "the open one comes to the front";
    TypeKeys("z");
    EXPECT_EQ(EditorText(), "z");
    const QPointer<AboutWindow> guard(about);
    Close();
    EXPECT_TRUE(guard.isNull()) << "the end of the window closes the About window";
}

TEST_F(MainWindowEditTest, TheContactPictureOpensThePageOnALeftPress) {
    MainWindow& window = OpenBound();
    auto* picture = window.findChild<QLabel*>(QStringLiteral("图片框2"));
    ASSERT_NE(picture, nullptr);
    QTest::mousePress(picture, Qt::RightButton);
    EXPECT_EQ(ContactOpened(), 0);
    QTest::mousePress(picture, Qt::LeftButton);
    EXPECT_EQ(ContactOpened(), 1);
}

TEST_F(MainWindowEditTest, WholeTextCommandsSetTheModifiedFlagOnlyWhenTheyChangeTheText) {
    MainWindow& window = OpenBound();
    if (window.Registry().FindByCaption("到大写") == nullptr ||
        !window.Registry().FindByCaption("到大写")->run) {
        GTEST_SKIP() << "到大写 is not registered";
    }
    window.Editor().ReplaceText("ABC");
    RunItem("到大写");
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    window.Editor().ReplaceText("abc");
    RunItem("到大写");
    EXPECT_EQ(EditorText(), "ABC");
    EXPECT_TRUE(window.Editor().ModifiedFlag());

    // Dialog buttons go through the same runner.
    window.Editor().SetModifiedFlag(false);
    window.Dialogs().RunAction([&] { window.Access().ReplaceText("ABC"); });
    EXPECT_FALSE(window.Editor().ModifiedFlag());
    window.Dialogs().RunAction([&] { window.Access().ReplaceText("new"); });
    EXPECT_TRUE(window.Editor().ModifiedFlag());
}

QJsonObject Named(const QJsonObject& widget, const QString& name) {
    if (widget["objectName"].toString() == name) {
        return widget;
    }
    for (const QJsonValue& child : widget["children"].toArray()) {
        const QJsonObject found = Named(child.toObject(), name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

TEST_F(MainWindowEditTest, TheDumpShowsTheAboutAndNoticeWindows) {
    const QJsonObject dump = DumpUserInterface(OpenBound()).object();
    const QJsonObject about = dump["dialogs"].toObject()["&A.关于..."].toObject();
    EXPECT_EQ(about["windowTitle"].toString(), QStringLiteral("关于"));
    EXPECT_EQ(about["geometry"].toObject()["width"].toInt(), 369);
    EXPECT_TRUE(Named(about, QStringLiteral("标签1"))["text"].toString().startsWith(
        QStringLiteral("Velmor记事本为记事本的增强版")));
    const QJsonObject notice = dump["supportNotice"].toObject();
    EXPECT_EQ(notice["geometry"].toObject()["height"].toInt(), 149);
    EXPECT_EQ(Named(notice, QStringLiteral("标签_天"))["text"].toString(), QStringLiteral("0"));
    EXPECT_EQ(Window().Dialogs().Find("&A.关于..."), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace velmor
