#pragma once

#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "WindowCommandsTestSupport.h"
#include "core/Positions.h"

namespace velmor::test {

// Drives the real window through a seeded random sequence of what a user does (typing, input
// method, deletes at any editor position, the clipboard, commands of every kind, undo, redo,
// open, drop, save) and checks after every step that the text the commands read, the widget's
// buffer and the bytes Save writes are the same text.
class WindowDifferential {
public:
    WindowDifferential(CommandsFixture& fixture, std::uint32_t seed)
        : m_fixture(fixture), m_seed(seed), m_random(seed) {}
    ~WindowDifferential() { DisplayBreaks::SetRowBytes(m_rowBytes); }
    WindowDifferential(const WindowDifferential&) = delete;
    WindowDifferential& operator=(const WindowDifferential&) = delete;

    // Runs steps until count are done or the deadline passes; the failure, if any, names the
    // seed, the step and the steps that led there.
    std::optional<std::string> Run(int count, std::chrono::steady_clock::time_point deadline) {
        Begin();
        // Every other seed shows lines as rows of a few bytes, so that edits meet rows' ends.
        if (m_seed % 2 == 0) {
            DisplayBreaks::SetRowBytes(4 + m_seed / 2 % 29);
            ScintillaEditor& editor = m_fixture.Window().Editor();
            editor.ReplaceSnapshot(editor.ReadSnapshot());
        }
        for (m_step = 0; m_step < count && std::chrono::steady_clock::now() < deadline; ++m_step) {
            Note(DoRandomStep());
            if (std::optional<std::string> mismatch = Check()) {
                return Failure(*mismatch);
            }
        }
        return std::nullopt;
    }

    // Runs the given steps (names of DoStep) in order, checking after each.
    std::optional<std::string> Replay(const std::vector<std::string>& steps) {
        Begin();
        for (m_step = 0; m_step < static_cast<int>(steps.size()); ++m_step) {
            DoStep(steps[static_cast<std::size_t>(m_step)]);
            Note(steps[static_cast<std::size_t>(m_step)]);
            if (std::optional<std::string> mismatch = Check()) {
                return Failure(*mismatch);
            }
        }
        return std::nullopt;
    }

    int Steps() const { return m_step; }

    // One step by name; a name may carry a number after a colon (a position or a length).
    void DoStep(const std::string& step) {
        const std::size_t colon = step.find(':');
        const std::string name = step.substr(0, colon);
        const int value = colon == std::string::npos ? 0 : std::stoi(step.substr(colon + 1));
        MainWindow& window = m_fixture.Window();
        ScintillaEditor& editor = window.Editor();
        if (name == "caret") {
            window.Access().SetSelectionStart(value);
        } else if (name == "select") {
            window.Access().SetSelectionLength(value);
        } else if (name == "type") {
            QTest::keyClicks(&editor, QStringLiteral("ab 1"));
        } else if (name == "ime") {
            Commit(editor, kInputs[static_cast<std::size_t>(value) % std::size(kInputs)]);
        } else if (name == "compose") {
            // The input method shows what is being composed in the text, then commits it.
            Compose(editor, "zhong");
            Compose(editor, "中");
            Commit(editor, kInputs[static_cast<std::size_t>(value) % std::size(kInputs)]);
        } else if (name == "enter") {
            QTest::keyClick(&editor, Qt::Key_Return);
        } else if (name == "backspace") {
            QTest::keyClick(&editor, Qt::Key_Backspace);
        } else if (name == "delete") {
            QTest::keyClick(&editor, Qt::Key_Delete);
        } else if (name == "end") {
            // The end of the line as shown: before a row's break where a line is shown as rows.
            QTest::keyClick(&editor, Qt::Key_End);
        } else if (name == "paste") {
            QGuiApplication::clipboard()->setText(
                QString::fromUtf8(kInputs[static_cast<std::size_t>(value) % std::size(kInputs)]));
            m_fixture.RunItem("&P.粘贴");
        } else if (name == "cut") {
            m_fixture.RunItem("&X.剪切");
        } else if (name == "undo") {
            m_fixture.RunItem("&U.撤消");
        } else if (name == "redo") {
            m_fixture.RunItem("重做");
        } else if (name == "command") {
            m_fixture.RunItem(kCommands[static_cast<std::size_t>(value) % std::size(kCommands)]);
        } else if (name == "random") {
            PressGenerator("随机文本", value % 2 ? "单选框_字母" : "单选框_整数");
        } else if (name == "accounts") {
            PressGenerator("账号密码", nullptr);
        } else if (name == "numbered") {
            PressGenerator("带序号文本", nullptr);
        } else if (name == "variable") {
            PressGenerator("变量文本", nullptr);
        } else if (name == "open") {
            m_fixture.Dialog().Answer(PoolFile(value));
            m_fixture.RunItem("&O.打开");
        } else if (name == "drop") {
            Drop(PoolFile(value));
        } else if (name == "save") {
            m_fixture.RunItem("&S.保存");
        }
        QApplication::processEvents();
    }

private:
    static constexpr const char* kInputs[] = {"中文",    "😀",        "€¢",           "𠀀字",
                                              "x\ry\nz", "\r\n\r\n", "行一\r\n行二", "plain"};
    // In place, replace, append, and a filter that leaves little.
    static constexpr const char* kCommands[] = {
        "到大写",      "到小写", "到全角", "到半角", "多换行符变单换行符",
        "&T.插入时间", "数字",   "汉字"};

    // The files opened and dropped: small ones of every kind of character, and one large
    // enough that its commands run on the worker.
    Text PoolFile(int value) {
        const int which = value % 6;
        const Text path = m_fixture.PathOf(("pool" + std::to_string(which) + ".txt").c_str());
        const Text small[] = {
            Utf8ToGbk("第一行 line\r\n第二行\r\n\r\n😀𠀀 end"),
            Utf8ToGbk("abc\rdef\nghi\r\n"),
            Utf8ToGbk("账号1----密码1\r\n账号2----密码2\r\n"),
            Text("\x81\x30\x81\x30\xB0\xA1x", 7),
            // Stray lead bytes, which join what is typed or pasted beside them.
            Text("\xB3 a\xB3"),
        };
        if (which < 5) {
            CommandsFixture::Put(path, small[which]);
        } else if (CommandsFixture::Content(path).size() < kBackgroundTextBytes) {
            Text large;
            while (large.size() < kBackgroundTextBytes + 4096) {
                large += Utf8ToGbk("大文本 line 😀\r\n");
            }
            CommandsFixture::Put(path, large);
        }
        return path;
    }

    // Every step but the large file: that one comes now and then.
    std::string DoRandomStep() {
        const auto pick = [this](int n) { return static_cast<int>(m_random() % unsigned(n)); };
        const int characters = CharacterCount(m_fixture.Window().Access().ReadText());
        std::string step;
        switch (pick(18)) {
            case 0:
            case 1:
                step = "caret:" + std::to_string(pick(characters + 2));
                break;
            case 2:
                step = "select:" + std::to_string(pick(8));
                break;
            case 3:
                step = "type";
                break;
            case 4:
                step = "ime:" + std::to_string(pick(8));
                break;
            case 5:
                step = (pick(2) ? "ime:" : "compose:") + std::to_string(pick(8));
                break;
            case 6:
                step = "enter";
                break;
            case 7:
                step = "backspace";
                break;
            case 8:
                step = pick(3) == 0 ? "end" : "delete";
                break;
            case 9:
                step = "paste:" + std::to_string(pick(8));
                break;
            case 10:
                step = "cut";
                break;
            case 11:
                step = pick(3) == 0 ? "redo" : "undo";
                break;
            case 12:
                step = "command:" + std::to_string(pick(8));
                break;
            case 13: {
                const char* generators[] = {"accounts", "numbered", "variable"};
                step = pick(2) ? "random:" + std::to_string(pick(2)) : generators[pick(3)];
                break;
            }
            case 14:
                step = (pick(2) ? "open:" : "drop:") + std::to_string(pick(60) == 0 ? 5 : pick(5));
                break;
            case 15:
                step = "save";
                break;
            default:
                step = "undo";
                break;
        }
        DoStep(step);
        return step;
    }

    void Begin() {
        m_log.clear();
        m_saveAs = m_fixture.PathOf("checked.txt");
    }

    static void Commit(ScintillaEditor& editor, const char* utf8) {
        QInputMethodEvent event(QString(), {});
        event.setCommitString(QString::fromUtf8(utf8));
        QApplication::sendEvent(&editor, &event);
    }

    static void Compose(ScintillaEditor& editor, const char* utf8) {
        QInputMethodEvent event(QString::fromUtf8(utf8), {});
        QApplication::sendEvent(&editor, &event);
    }

    void PressGenerator(const char* caption, const char* kind) {
        MainWindow& window = m_fixture.Window();
        m_fixture.RunItem(caption);
        QWidget* dialog = window.Dialogs().Find(caption);
        if (dialog == nullptr) {
            return;
        }
        if (kind != nullptr) {
            if (auto* radio = dialog->findChild<QRadioButton*>(QString::fromUtf8(kind))) {
                radio->click();
            }
        }
        if (auto* button = dialog->findChild<QPushButton*>(QStringLiteral("按钮1"))) {
            button->click();
        }
        // The dialogs stay open beside the window, as a user leaves them.
        window.Editor().setFocus();
    }

    void Drop(const Text& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(CommandsFixture::FileSystemPath(path))});
        QWidget* target = m_fixture.Window().Editor().viewport();
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }

    // The three texts must agree: the commands' document, the widget's buffer and the saved
    // file (saved through the menu, to the document's file or to a file of the run's own).
    std::optional<std::string> Check() {
        MainWindow& window = m_fixture.Window();
        if (window.Editor().MirrorRepairs() != 0) {
            return std::string("the document missed an edit of the widget and was rebuilt");
        }
        const Text document = window.Access().ReadText();
        ScintillaEditor& editor = window.Editor();
        if (std::optional<std::string> rows = CheckRows(editor)) {
            return rows;
        }
        const std::string widget = editor.BufferText();
        if (GbkToUtf8(document) != widget) {
            return "the document is not the widget's text:\n  document " + Shown(document) +
                   "\n  widget   " + Shown(Utf8ToGbk(widget)) + "\n  " +
                   FirstDifference(GbkToUtf8(document), widget);
        }
        if (!(window.Access().ReadSnapshot() == SharedText(document))) {
            return std::string("the snapshot is not the document");
        }
        const Text file = m_fixture.Commands().Documents().CurrentFileName();
        if (file.empty()) {
            m_fixture.Dialog().Answer(m_saveAs);
        }
        m_fixture.RunItem("&S.保存");
        const Text saved = CommandsFixture::Content(file.empty() ? m_saveAs : file);
        if (window.Editor().MirrorRepairs() != 0) {
            return std::string("the document differed from the widget when saved");
        }
        if (saved != document) {
            return "the saved bytes are not the document:\n  document " + Shown(document) +
                   "\n  saved    " + Shown(saved);
        }
        return std::nullopt;
    }

    // Long lines are shown as rows, each ended by a line feed of the widget's own: rows no
    // longer than their limit, and never a break beside a line end or at either end.
    static std::optional<std::string> CheckRows(ScintillaEditor& editor) {
        const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        const auto* data = static_cast<const char*>(
            editor.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
        const std::string_view buffer(data == nullptr ? "" : data,
                                      static_cast<std::size_t>(length));
        const auto lineEnd = [](char byte) { return byte == '\r' || byte == '\n'; };
        for (const std::size_t at : editor.Breaks().Positions()) {
            if (at >= buffer.size() || buffer[at] != '\n') {
                return "a row's break at " + std::to_string(at) + " is no line feed";
            }
            if (at == 0 || at + 1 == buffer.size() || lineEnd(buffer[at - 1]) ||
                lineEnd(buffer[at + 1])) {
                return "a row's break at " + std::to_string(at) + " stands beside a line end";
            }
        }
        std::size_t run = 0;
        for (const char byte : buffer) {
            run = lineEnd(byte) ? 0 : run + 1;
            // A character that crosses a row's end stays whole in it.
            if (run > DisplayBreaks::LongestRow() + 3) {
                return "a row is longer than " + std::to_string(DisplayBreaks::LongestRow());
            }
        }
        return std::nullopt;
    }

    static std::string Shown(const Text& text) {
        const std::string utf8 = GbkToUtf8(text.substr(0, 120));
        return std::to_string(text.size()) + " bytes \"" + utf8 + (text.size() > 120 ? "…" : "") +
               "\"";
    }

    // The UTF-8 bytes around the first byte where two buffers part, in hex.
    static std::string FirstDifference(const std::string& expected, const std::string& actual) {
        std::size_t at = 0;
        while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
            ++at;
        }
        const auto hex = [at](const std::string& bytes) {
            std::string out;
            char byte[4];
            for (std::size_t i = at < 8 ? 0 : at - 8; i < std::min(bytes.size(), at + 8); ++i) {
                std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned char>(bytes[i]));
                out += (i == at ? "|" : "") + std::string(byte);
            }
            return out;
        };
        return "UTF-8 parts at byte " + std::to_string(at) + ": decoded " + hex(expected) +
               " widget " + hex(actual);
    }

    void Note(const std::string& step) {
        m_log.push_back(step);
        if (m_log.size() > 40) {
            m_log.pop_front();
        }
    }

    std::string Failure(const std::string& mismatch) const {
        std::ostringstream out;
        out << "seed " << m_seed << ", step " << m_step << ": " << mismatch << "\n  last steps:";
        for (const std::string& step : m_log) {
            out << ' ' << step;
        }
        out << "\n  rows of " << DisplayBreaks::RowBytes() << " bytes";
        return out.str();
    }

    CommandsFixture& m_fixture;
    std::uint32_t m_seed;
    std::mt19937 m_random;
    int m_step = 0;
    std::deque<std::string> m_log;
    Text m_saveAs;
    const std::size_t m_rowBytes = DisplayBreaks::RowBytes();
};

}  // namespace velmor::test
