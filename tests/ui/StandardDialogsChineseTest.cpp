#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
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

// Qt's standard dialogs speak Chinese whatever the system locale, and the file dialog opens
// wide enough for its columns.

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

TEST_F(StandardDialogsChinese, TheFileDialogOpensWithItsColumnsWhole) {
    QTemporaryDir folder;
    for (const char* name : {"说明.txt", "readme.txt"}) {
        QFile file(folder.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(123456, 'x'));
    }
    FileDialogBox box(nullptr);
    box.SetInitialFolder(Utf8ToGbk(folder.path().toStdString() + "/"));
    bool checked = false;
    // Once the folder is listed, every column must show its widest entry and its title.
    QTimer::singleShot(700, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->isVisible()) << "the detail view shows the columns";
        ASSERT_EQ(view->model()->rowCount(view->rootIndex()), 2) << "the folder is listed";
        const QHeaderView* header = view->header();
        int used = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) {
                continue;
            }
            const int wanted =
                std::max(header->sectionSizeHint(column),
                         static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column));
            EXPECT_GE(header->sectionSize(column), wanted) << "column " << column << " is cut";
            used += header->sectionSize(column);
        }
        EXPECT_LE(used, view->viewport()->width()) << "the last column runs off the view";
        checked = true;
        dialog->reject();
    });
    EXPECT_FALSE(box.Show(FileDialogKind::Open, "请输入欲打开的文本文件名："));
    EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace velmor
