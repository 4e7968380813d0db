#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>
#include <vector>

#include "app/ScintillaEditor.h"
#include "core/UndoHistory.h"
#include "support/BenchText.h"

namespace velmor {
namespace {

enum class Place { Top, Middle, End };

// The editor as the window holds it: shown, with the undo history recording every change and
// its accessible interface created, as an assistive technology would have it.
struct TypingEditor {
    TypingEditor(const Text& text, bool wrap) : history(editor) {
        editor.resize(630, 447);
        editor.SetWordWrap(wrap);
        editor.show();
        history.Attach();
        QAccessible::queryAccessibleInterface(&editor);
        editor.ReplaceText(text);
        editor.viewport()->repaint();
        QApplication::processEvents();
    }
    void PutCaret(Place place) {
        const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        long position = place == Place::Top ? 0 : place == Place::End ? length : length / 2;
        position = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONBEFORE,
                                        static_cast<unsigned long>(position + 1));
        editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION,
                             static_cast<unsigned long>(position));
        editor.SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
        editor.viewport()->repaint();
        QApplication::processEvents();
    }
    ScintillaEditor editor;
    UndoHistory history;
};

double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Milliseconds from the key event to the repainted view, in wall-clock time, and the CPU
// time of that work (which a shared, busy machine does not inflate).
std::vector<double> g_cpu;

template <typename Send>
double TimeKey(ScintillaEditor& editor, Send send) {
    QElapsedTimer clock;
    clock.start();
    const double cpu = ThreadCpuMilliseconds();
    send();
    editor.viewport()->repaint();
    g_cpu.push_back(ThreadCpuMilliseconds() - cpu);
    const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    // Idle work (wrapping the rest of the document) runs between keys, outside the timing.
    QApplication::processEvents();
    return wall;
}

void SendKey(ScintillaEditor& editor, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &release);
}

void SendChinese(ScintillaEditor& editor) {
    QInputMethodEvent event(QString(), {});
    event.setCommitString(QString::fromUtf8("中文"));
    QApplication::sendEvent(&editor, &event);
}

double Percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

// Arguments: megabytes, word wrap, caret place, and whether the text is one line (shown as
// rows). Each run types ASCII letters, Chinese through the input method, Backspace and
// Delete, and reports the percentiles of all of them.
void BM_Keystroke(benchmark::State& state) {
    Text text = MakeBenchText(static_cast<std::size_t>(state.range(0)) << 20, 60, 100);
    if (state.range(3) != 0) {
        std::erase_if(text, [](char byte) { return byte == '\r' || byte == '\n'; });
    }
    TypingEditor typing(text, state.range(1) != 0);
    const auto place = static_cast<Place>(state.range(2));
    constexpr int kRounds = 25;
    std::vector<double> all;
    std::vector<double> ascii;
    std::vector<double> chinese;
    std::vector<double> deleting;
    g_cpu.clear();
    for (auto _ : state) {
        typing.PutCaret(place);
        for (int round = 0; round < kRounds; ++round) {
            ScintillaEditor& editor = typing.editor;
            ascii.push_back(TimeKey(editor, [&] { SendKey(editor, Qt::Key_A, "a"); }));
            chinese.push_back(TimeKey(editor, [&] { SendChinese(editor); }));
            deleting.push_back(
                TimeKey(editor, [&] { SendKey(editor, Qt::Key_Backspace, QString()); }));
            deleting.push_back(
                TimeKey(editor, [&] { SendKey(editor, Qt::Key_Delete, QString()); }));
        }
    }
    all.insert(all.end(), ascii.begin(), ascii.end());
    all.insert(all.end(), chinese.begin(), chinese.end());
    all.insert(all.end(), deleting.begin(), deleting.end());
    state.counters["p50ms"] = Percentile(all, 0.5);
    state.counters["p99ms"] = Percentile(all, 0.99);
    state.counters["cpuP50ms"] = Percentile(g_cpu, 0.5);
    state.counters["cpuP99ms"] = Percentile(g_cpu, 0.99);
    state.counters["asciiP99ms"] = Percentile(ascii, 0.99);
    state.counters["chineseP99ms"] = Percentile(chinese, 0.99);
    state.counters["deleteP99ms"] = Percentile(deleting, 0.99);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakMB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Keystroke)
    ->ArgNames({"MB", "wrap", "place", "oneLine"})
    ->ArgsProduct({{10}, {0, 1}, {0, 1, 2}, {0}})
    ->Args({100, 1, 2, 0})
    ->ArgsProduct({{10}, {0, 1}, {1, 2}, {1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
