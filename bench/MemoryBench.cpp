// Memory of big documents: opening, typing after opening, and the undo history. A peak is the
// process's own, so run one benchmark per process (bench/memory-vs-bare.sh does):
//   VELMOR_MEMORY_FILE=/tmp/velmor-corpus/zh-100m.gbk bench_MemoryBench
//       --benchmark_filter=BM_OpenInWindow
#include <benchmark/benchmark.h>

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <memory>
#include <unordered_set>

#include "app/FileDialogBox.h"
#include "app/MainWindow.h"
#include "app/WindowCommands.h"
#include "core/CodePage936.h"
#include "core/UndoHistory.h"
#include "platform/FileBytes.h"
#include "platform/RegistryFile.h"
#include "platform/SystemClock.h"
#include "support/BenchText.h"
#include "support/ResidentMemory.h"

namespace velmor {
namespace {

QString DocumentFile() {
    const QString named = qEnvironmentVariable("VELMOR_MEMORY_FILE");
    return named.isEmpty() ? QStringLiteral("/tmp/velmor-corpus/zh-100m.gbk") : named;
}

void ReportResident(benchmark::State& state, const char* prefix) {
    state.counters[std::string(prefix) + "PeakMB"] = PeakMegabytes();
    malloc_trim(0);
    state.counters[std::string(prefix) + "SteadyMB"] = ResidentMegabytes();
}

// Lets the editor wrap in idle time for a while, then wraps the rest at once, as going to the
// end of the document does: the memory of a fully wrapped document.
void WrapWholeDocument(QsciScintilla& editor) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        QApplication::processEvents();
    }
    editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    editor.viewport()->repaint();
    editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
    editor.viewport()->repaint();
    QApplication::processEvents();
}

// The anchor: a plain QScintilla widget given the same text as UTF-8, without word wrap.
void BM_OpenBareWidget(benchmark::State& state) {
    ResetPeakResident();
    for (auto _ : state) {
        QsciScintilla editor;
        editor.resize(630, 447);
        editor.show();
        QApplication::processEvents();
        {
            const std::string utf8 = [] {
                const ByteString gbk = ReadFileBytes(DocumentFile().toStdString());
                return GbkToUtf8(gbk);
            }();
            editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, utf8.data());
        }
        editor.viewport()->repaint();
        QApplication::processEvents();
        ReportResident(state, "open");
    }
}
BENCHMARK(BM_OpenBareWidget)->Iterations(1)->Unit(benchmark::kMillisecond);

// The window as a run has it: its commands, the undo history, word wrap on (the default).
struct OpenWindow {
    OpenWindow() : settings(dir.filePath(QStringLiteral("registry.reg"))), random(ticks) {
        services.clock = &clock;
        services.random = &random;
        services.settings = &settings;
        window = std::make_unique<MainWindow>(services);
        new WindowCommands(*window, std::make_unique<FileDialogBox>(window.get()));
        window->show();
        QApplication::processEvents();
    }
    ScintillaEditor& Editor() { return window->Editor(); }

    QTemporaryDir dir;
    RegistryFile settings;
    SystemClock clock;
    SystemTickSource ticks;
    RandomGenerator random;
    Services services;
    std::unique_ptr<MainWindow> window;
};

void OpenFile(OpenWindow& open) {
    open.window->openAtStart(DocumentFile());
    open.Editor().viewport()->repaint();
    QApplication::processEvents();
}

// Opening the file through the window; range(0) = 1 then wraps the whole document.
void BM_OpenInWindow(benchmark::State& state) {
    for (auto _ : state) {
        OpenWindow open;
        ResetPeakResident();
        OpenFile(open);
        ReportResident(state, "open");
        if (state.range(0) != 0) {
            ScintillaEditor& editor = open.Editor();
            WrapWholeDocument(editor);
            ReportResident(state, "wrapped");
            const long lines = editor.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
            state.counters["lines"] = static_cast<double>(lines);
            state.counters["displayLines"] = static_cast<double>(editor.SendScintilla(
                QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(lines)));
        }
    }
}
BENCHMARK(BM_OpenInWindow)
    ->ArgName("wrapAll")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void TypeKey(QWidget& editor, int round) {
    if (round % 10 == 9) {
        QInputMethodEvent event(QString(), {});
        event.setCommitString(QString::fromUtf8("中"));
        QApplication::sendEvent(&editor, &event);
    } else if (round % 10 == 8) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor, &press);
    } else {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
        QApplication::sendEvent(&editor, &press);
    }
    QApplication::processEvents();
}

// 1 000 keystrokes in the middle of the opened document, each followed by the event loop as
// a typist's would be: what they add to the resident set and to the heap.
void BM_TypeAfterOpen(benchmark::State& state) {
    for (auto _ : state) {
        OpenWindow open;
        OpenFile(open);
        ScintillaEditor& editor = open.Editor();
        const long middle = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2;
        editor.SendScintilla(
            QsciScintillaBase::SCI_SETEMPTYSELECTION,
            static_cast<unsigned long>(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONBEFORE,
                                                            static_cast<unsigned long>(middle))));
        editor.SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
        editor.viewport()->repaint();
        QApplication::processEvents();
        malloc_trim(0);
        const double resident = ResidentMegabytes();
        const double heap = HeapInUseMegabytes();
        for (int round = 0; round < 1000; ++round) {
            TypeKey(editor, round);
        }
        editor.viewport()->repaint();
        state.counters["heapAddedMB"] = HeapInUseMegabytes() - heap;
        state.counters["residentAddedMB"] = ResidentMegabytes() - resident;
        malloc_trim(0);
        state.counters["steadyAddedMB"] = ResidentMegabytes() - resident;
    }
}
BENCHMARK(BM_TypeAfterOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// 40 whole-document commands on 10 MB, each a different text, then 20 undos: every slot holds
// one of 21 distinct texts, each held once. With range(0) keys typed after each command, the
// typed states share the command's text and add only the pieces they rewrote.
void BM_HistoryAfterCommands(benchmark::State& state) {
    Text text = MakeBenchText(10 << 20, 60, 100);
    const auto keys = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ResetPeakResident();
        ScintillaEditor editor;
        editor.resize(630, 447);
        editor.show();
        UndoHistory history(editor);
        history.Attach();
        editor.ReplaceText(text);
        for (int command = 0; command < 40; ++command) {
            text[static_cast<std::size_t>(command) * 1000] = 'A';
            editor.ReplaceText(text);
            editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, text.size() / 2);
            for (int key = 0; key < keys; ++key) {
                TypeKey(editor, key);
            }
        }
        for (int undo = 0; undo < 20; ++undo) {
            history.Undo();
        }
        // Buffers of a whole text are the commands' texts; smaller ones are typed pieces.
        std::unordered_set<const std::string*> texts;
        std::unordered_set<const std::string*> pieces;
        double piecesMB = 0;
        int held = 0;
        for (int slot = 0; slot < UndoHistory::kSlotCount; ++slot) {
            const SharedText* slotText = history.Slot(slot);
            if (slotText == nullptr) {
                continue;
            }
            ++held;
            for (const SharedText::Chunk& chunk : slotText->Pieces()) {
                if (chunk.buffer->size() >= text.size() / 2) {
                    texts.insert(chunk.buffer.get());
                } else if (pieces.insert(chunk.buffer.get()).second) {
                    piecesMB += static_cast<double>(chunk.buffer->size()) / kMegabyte;
                }
            }
        }
        const double document = static_cast<double>(text.size()) / kMegabyte;
        state.counters["heldStates"] = held;
        state.counters["distinctTexts"] = static_cast<double>(texts.size());
        state.counters["heldMB"] = static_cast<double>(history.HeldBytes()) / kMegabyte;
        state.counters["distinctTextsMB"] = static_cast<double>(texts.size()) * document;
        state.counters["typedPiecesMB"] = piecesMB;
        ReportResident(state, "history");
    }
}
BENCHMARK(BM_HistoryAfterCommands)
    ->ArgName("keysBetween")
    ->Arg(0)
    ->Arg(5)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
