#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "core/FixedTime.h"
#include "core/MemoryEditor.h"
#include "files/BatchWindow.h"
#include "platform/LocalFileSystem.h"

// Merging and splitting through the batch window's actions on real files, each beside the
// command-line tool doing the same work in the same run: cat for the merge, awk and csplit
// for the split at CR LF. Sizes: VELMOR_BENCH_MERGE_FILES files of 100 KB (default 1000) and
// VELMOR_BENCH_PIECES pieces of 50 bytes (default 200000; 2000000 makes the 100 MB file).

namespace {

using velmor::BatchTab;

long FromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atol(value) : fallback;
}

std::string Quoted(const QString& path) {
    return "'" + path.toStdString() + "'";
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::abort();
    }
}

struct Workspace {
    Workspace() {
        QDir(dir.path()).mkdir(QStringLiteral("in"));
        QDir(dir.path()).mkdir(QStringLiteral("out"));
    }
    QString In(int i) const {
        return dir.filePath(QStringLiteral("in/%1.txt").arg(i, 5, 10, QChar('0')));
    }
    QString Out() const { return dir.filePath(QStringLiteral("out")); }
    void ClearOut() {
        QDir(Out()).removeRecursively();
        QDir(dir.path()).mkdir(QStringLiteral("out"));
    }
    QTemporaryDir dir;
    velmor::LocalFileSystem files;
};

// Runs one press of the batch window on the listed files, writing into out/.
void Press(Workspace& space, const std::vector<QString>& items, const char* button) {
    velmor::MemoryEditor editor;
    const velmor::FixedClock clock(velmor::MakeDateTime(2017, 8, 5, 9, 3, 7));
    velmor::Services services;
    services.clock = &clock;
    services.files = &space.files;
    velmor::CommandContext context{editor, services};
    velmor::DialogSession session(velmor::BatchWindowDefinition(BatchTab::MergeSplit), context);
    for (const QString& item : items) {
        session.AppendListItem("列表框1", item.toStdString());
    }
    session.SetEditText("编辑框_目录1", space.Out().toStdString() + "/");
    session.Press(button);
}

std::vector<QString> MakeMergeInput(Workspace& space) {
    const long count = FromEnvironment("VELMOR_BENCH_MERGE_FILES", 1000);
    std::string content;
    while (content.size() < 100 * 1024) {
        content += "0123456789abcdefghij\xD6\xD0\xCE\xC4\r\n";
    }
    content.resize(100 * 1024);
    std::vector<QString> items;
    for (int i = 0; i < count; ++i) {
        items.push_back(space.In(i));
        space.files.Save(items.back().toStdString(), content);
    }
    return items;
}

void BM_MergeFiles(benchmark::State& state) {
    Workspace space;
    const std::vector<QString> items = MakeMergeInput(space);
    for (auto _ : state) {
        Press(space, items, "按钮_合并");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(items.size()) * 100 *
                            1024);
}

void BM_MergeFilesCat(benchmark::State& state) {
    Workspace space;
    const std::vector<QString> items = MakeMergeInput(space);
    const std::string command =
        "cat " + Quoted(space.dir.path()) + "/in/*.txt > " + Quoted(space.Out()) + "/merged.txt";
    for (auto _ : state) {
        Run(command);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(items.size()) * 100 *
                            1024);
}

QString MakeSplitInput(Workspace& space) {
    const long pieces = FromEnvironment("VELMOR_BENCH_PIECES", 200000);
    std::string content;
    const std::string line =
        "0123456789abcdefghij\xD6\xD0\xCE\xC4"
        "0123456789abcdefghij\r\n";
    content.reserve(line.size() * pieces);
    for (long i = 0; i < pieces; ++i) {
        content += line;
    }
    space.files.Save(space.In(0).toStdString(), content);
    return space.In(0);
}

void BM_SplitFile(benchmark::State& state) {
    Workspace space;
    const QString input = MakeSplitInput(space);
    for (auto _ : state) {
        state.PauseTiming();
        space.ClearOut();
        state.ResumeTiming();
        Press(space, {input}, "按钮_拆分");
    }
}

void BM_SplitFileAwk(benchmark::State& state) {
    Workspace space;
    const QString input = MakeSplitInput(space);
    const std::string command =
        "awk 'BEGIN { RS = \"\\r\\n\" } { f = \"" + space.Out().toStdString() +
        "/p_\" NR \".txt\"; printf \"%s\", $0 > f; close(f) }' " + Quoted(input);
    for (auto _ : state) {
        state.PauseTiming();
        space.ClearOut();
        state.ResumeTiming();
        Run(command);
    }
}

void BM_SplitFileCsplit(benchmark::State& state) {
    Workspace space;
    const QString input = MakeSplitInput(space);
    const std::string command = "csplit -s -z -n 8 -f " + Quoted(space.Out() + "/p_") + " " +
                                Quoted(input) + " '/^/' '{*}'";
    for (auto _ : state) {
        state.PauseTiming();
        space.ClearOut();
        state.ResumeTiming();
        Run(command);
    }
}

}  // namespace

BENCHMARK(BM_MergeFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MergeFilesCat)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SplitFile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SplitFileAwk)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SplitFileCsplit)->Unit(benchmark::kMillisecond)->Iterations(1);
