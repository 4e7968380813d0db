#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <deque>
#include <optional>
#include <vector>

#include "MainWindowTestSupport.h"
#include "app/FileDialog.h"
#include "app/WindowCommands.h"
#include "core/CodePage936.h"

namespace velmor::test {

// Hands out the queued answers in turn (a path, or nullopt for Cancel); a dry queue cancels.
// An answer may choose an entry of the encoding list; otherwise the preselected one stays.
class QueuedFileDialog : public FileDialog {
public:
    bool Show(FileDialogKind, const std::string& title) override {
        m_titles.push_back(title);
        m_shownEncodings.push_back(Encoding());
        if (m_answers.empty()) {
            return false;
        }
        const Answered answer = m_answers.front();
        m_answers.pop_front();
        if (!answer.path) {
            return false;
        }
        SetFileName(*answer.path);
        if (answer.encoding) {
            SetEncoding(*answer.encoding);
        }
        return true;
    }
    void Answer(std::optional<Text> path) { m_answers.push_back({std::move(path), {}}); }
    void Answer(Text path, std::optional<FileEncoding> encoding) {
        m_answers.push_back({std::move(path), encoding});
    }
    const std::vector<std::string>& Titles() const { return m_titles; }
    // The encoding preselected at each showing (nullopt: 自动识别).
    const std::vector<std::optional<FileEncoding>>& ShownEncodings() const {
        return m_shownEncodings;
    }

private:
    struct Answered {
        std::optional<Text> path;
        std::optional<std::optional<FileEncoding>> encoding;
    };
    std::deque<Answered> m_answers;
    std::vector<std::string> m_titles;
    std::vector<std::optional<FileEncoding>> m_shownEncodings;
};

// Answers real message boxes as they come up with the queued buttons (then Cancel, or OK
// where there is no Cancel), recording their texts.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { AnswerOpenBox(); });
        m_timer.start();
    }

    void Press(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
    const QStringList& Texts() const { return m_texts; }
    const QStringList& Titles() const { return m_titles; }
    const std::vector<int>& Widths() const { return m_widths; }

private:
    void AnswerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        m_texts << box->text();
        m_titles << box->windowTitle();
        m_widths.push_back(box->width());
        QMessageBox::StandardButton button =
            box->button(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
        if (!m_buttons.empty()) {
            button = m_buttons.front();
            m_buttons.pop_front();
        }
        box->button(button)->click();
    }

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_buttons;
    QStringList m_texts;
    QStringList m_titles;
    std::vector<int> m_widths;
};

// The real window with its commands bound, a queued file dialog, files in a folder of its own
// and a contact page that only counts its openings.
class CommandsFixture : public WindowFixture {
public:
    MainWindow& OpenBound() {
        MainWindow& window = Open();
        auto dialog = std::make_unique<QueuedFileDialog>();
        m_dialog = dialog.get();
        m_commands = new WindowCommands(window, std::move(dialog));
        m_commands->SetContactOpener([this] { ++m_contactOpened; });
        window.show();
        return window;
    }

    QueuedFileDialog& Dialog() { return *m_dialog; }
    WindowCommands& Commands() { return *m_commands; }
    int ContactOpened() const { return m_contactOpened; }

    void RunItem(const char* caption) { Window().CommandAction(caption)->trigger(); }
    Text EditorText() { return Window().Editor().ReadText(); }
    void TypeKeys(const char* keys) {
        Window().Editor().setFocus();
        QTest::keyClicks(Window().Editor().viewport(), QString::fromUtf8(keys));
        QApplication::processEvents();
    }

    // A document path (GBK) in the fixture's folder; name is UTF-8.
    Text PathOf(const char* name) const {
        return Utf8ToGbk(QDir(m_files.path()).filePath(QString::fromUtf8(name)).toStdString());
    }
    static QString FileSystemPath(const Text& path) {
        return QString::fromStdString(GbkToUtf8(path));
    }
    static void Put(const Text& path, const ByteString& bytes) {
        QFile file(FileSystemPath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    static ByteString Content(const Text& path) {
        QFile file(FileSystemPath(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }

private:
    QTemporaryDir m_files;
    QueuedFileDialog* m_dialog = nullptr;
    WindowCommands* m_commands = nullptr;
    int m_contactOpened = 0;
};

}  // namespace velmor::test
