#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/CodePage936.h"
#include "support/BoundWindow.h"

// "&N.查找下一个" through the window on 100 MB of the corpus of bench/make_corpus.sh
// (VELMOR_CORPUS names its directory, /tmp/velmor-corpus by default; without it a generated
// text), with the word sought only at the very end, beside plain passes over the same bytes.

namespace velmor {
namespace {

Text LoadText() {
    const char* directory = std::getenv("VELMOR_CORPUS");
    const std::string path =
        std::string(directory ? directory : "/tmp/velmor-corpus") + "/zh-100m.gbk";
    std::ifstream file(path, std::ios::binary);
    if (file) {
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    const Text line = Utf8ToGbk("中国的第 2024 次会议记录，共 317 人出席 Meeting notes.\r\n");
    Text text;
    text.reserve((100 << 20) + line.size());
    while (text.size() < (100 << 20)) {
        text += line;
    }
    return text;
}

const Text& Document() {
    static const Text text = LoadText() + "needle";
    return text;
}

// The bound window holding the document, with the keyword typed into the find dialog as a
// user sets it.
struct FindWindow : BoundWindow {
    FindWindow() {
        window->Access().ReplaceText(Document());
        window->RunCommand("&F.查找");
        QWidget* dialog = window->Dialogs().Find("&F.查找");
        auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("编辑框1"));
        for (const QChar character : QStringLiteral("needle")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
            QApplication::sendEvent(box, &press);
        }
        dialog->hide();
        QApplication::processEvents();
    }
};

FindWindow& Window() {
    static FindWindow window;
    return window;
}

// One press from the start of the document: it finds the word at the end.
void BM_FindNextPressInTheWindow(benchmark::State& state) {
    FindWindow& bound = Window();
    for (auto _ : state) {
        state.PauseTiming();
        bound.window->Access().SetSelectionStart(0);
        bound.window->Access().SetSelectionLength(0);
        state.ResumeTiming();
        bound.window->RunCommand("&N.查找下一个");
    }
    if (bound.window->Access().SelectionLength() != 6) {
        state.SkipWithError("the press did not select the word");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Document().size()));
}

// What a press costs at least: the document's bytes as the window lends them.
void BM_LendTextFromTheWindow(benchmark::State& state) {
    FindWindow& bound = Window();
    for (auto _ : state) {
        const TextLease lease = bound.window->Access().LendText();
        benchmark::DoNotOptimize(lease.Get().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Document().size()));
}

// The anchors: one memmem and one memchr pass over the same bytes.
void BM_MemmemOverTheDocument(benchmark::State& state) {
    const Text& text = Document();
    for (auto _ : state) {
        benchmark::DoNotOptimize(memmem(text.data(), text.size(), "needle", 6));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_MemchrOverTheDocument(benchmark::State& state) {
    const Text& text = Document();
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::memchr(text.data(), '\x01', text.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace
}  // namespace velmor

BENCHMARK(velmor::BM_FindNextPressInTheWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(velmor::BM_LendTextFromTheWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(velmor::BM_MemmemOverTheDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(velmor::BM_MemchrOverTheDocument)->Unit(benchmark::kMillisecond);
