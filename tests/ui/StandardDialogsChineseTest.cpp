#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <memory>

#include "app/FileDialogBox.h"
#include "app/QtTranslations.h"
#include "core/CodePage936.h"
#include "core/MemoryEditor.h"
#include "files/dialogs/BatchWindow.h"

// Qt's standard dialogs speak Chinese whatever the system locale, and the file dialogs open
// wide enough for their columns.

namespace velmor {
namespace {

bool HasChinese(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) {
            return true;
        }
    }
    return false;
}

// Every label and button text of the widget, for a message that shows what is still English.
QStringList Texts(const QWidget& widget) {
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            texts << label->text();
        }
    }
    for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty()) {
            texts << button->text();
        }
    }
    return texts;
}

class StandardDialogsChinese : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_translator.reset(InstallQtChineseTranslations(*QCoreApplication::instance()));
        if (!m_translator) {
            GTEST_SKIP() << "Qt's zh_CN translations (qt6-translations-l10n) are not installed";
        }
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    std::unique_ptr<QTranslator> m_translator;
};

TEST_F(StandardDialogsChinese, MessageBoxButtons) {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel |
                           QMessageBox::Ok);
    for (const auto which :
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok}) {
        const QString text = box.button(which)->text();
        EXPECT_TRUE(HasChinese(text)) << text.toStdString();
    }
}

TEST_F(StandardDialogsChinese, FileFontAndPrintDialogs) {
    QFileDialog file;
    file.setOption(QFileDialog::DontUseNativeDialog);
    QFontDialog font;
    font.setOption(QFontDialog::DontUseNativeDialog);
    QPrinter printer;
    QPrintDialog print(&printer);
    for (QWidget* dialog : std::initializer_list<QWidget*>{&file, &font, &print}) {
        const QStringList texts = Texts(*dialog);
        int chinese = 0;
        for (const QString& text : texts) {
            chinese += HasChinese(text) ? 1 : 0;
        }
        EXPECT_GE(chinese * 2, texts.size())
            << dialog->metaObject()->className() << ": " << texts.join(" | ").toStdString();
    }
    const auto* lookIn = file.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_TRUE(HasChinese(lookIn->text())) << lookIn->text().toStdString();
}

// Checks the file dialog that comes up over a folder holding a small and a large file:
// every column shows its widest entry and its title, each file's size, type and date are
// in Chinese, and the filter shows its description once. Then cancels it.
class FileDialogInspector {
public:
    FileDialogInspector() {
        const char* const names[] = {"说明.txt", "readme.txt"};
        const int sizes[] = {6, 123456};
        for (int i = 0; i < 2; ++i) {
            QFile file(m_folder.filePath(QString::fromUtf8(names[i])));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(sizes[i], 'x'));
        }
        QTimer::singleShot(700, [this] { Inspect(); });
    }
    QString Folder() const { return m_folder.path(); }
    bool Checked() const { return m_checked; }

private:
    void Inspect() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // A dialog given no folder opens where the last one was; this one looks at its own.
        if (dialog->directory() != QDir(m_folder.path())) {
            dialog->setDirectory(m_folder.path());
            m_moved = true;
            QTimer::singleShot(700, [this] { Inspect(); });
            return;
        }
        // Whatever fails below, the dialog must go, or the test would wait for it forever.
        const std::unique_ptr<QFileDialog, void (*)(QFileDialog*)> closer(
            dialog, [](QFileDialog* open) { open->reject(); });
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->isVisible()) << "the detail view shows the columns";
        const QAbstractItemModel& model = *view->model();
        ASSERT_EQ(model.rowCount(view->rootIndex()), 2) << "the folder is listed";
        const QHeaderView* header = view->header();
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) {
                continue;
            }
            const int wanted =
                std::max(header->sectionSizeHint(column),
                         static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column));
            EXPECT_GE(header->sectionSize(column), wanted) << "column " << column << " is cut";
        }
        // Whether all columns fit without scrolling depends on the screen: the offscreen one is
        // 800 pixels wide, so only each column's own width is checked.

        const QLocale chinese(QLocale::Chinese, QLocale::China);
        for (int row = 0; row < 2; ++row) {
            const auto cell = [&](int column) {
                return model.index(row, column, view->rootIndex()).data().toString();
            };
            const QFileInfo info(QDir(m_folder.path()).filePath(cell(0)));
            if (info.size() == 6) {
                EXPECT_EQ(cell(1), QStringLiteral("6 字节"));
            }
            EXPECT_TRUE(HasChinese(cell(2))) << cell(2).toStdString();
            EXPECT_EQ(cell(3), chinese.toString(info.lastModified(), QLocale::ShortFormat));
        }
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(types->currentText(), QStringLiteral("文本文件(*.txt)"));
        m_checked = true;
    }

    QTemporaryDir m_folder;
    bool m_checked = false;
    bool m_moved = false;
};

TEST_F(StandardDialogsChinese, TheDocumentsFileDialog) {
    FileDialogInspector inspector;
    FileDialogBox box(nullptr);
    box.SetInitialFolder(Utf8ToGbk(inspector.Folder().toStdString() + "/"));
    EXPECT_FALSE(box.Show(FileDialogKind::Open, "请输入欲打开的文本文件名："));
    EXPECT_TRUE(inspector.Checked());
}

TEST_F(StandardDialogsChinese, TheBatchWindowsAddFileDialog) {
    FileDialogInspector inspector;
    QWidget window;
    MemoryEditor editor;
    Services services;
    CommandContext context{editor, services};
    DialogHost host(window, context);
    BatchWindow batch(BatchTab::MergeSplit, context, host);
    batch.findChild<QPushButton*>(QStringLiteral("按钮_添加1"))->click();
    EXPECT_TRUE(inspector.Checked());
}

}  // namespace
}  // namespace velmor
