#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "../support/MemoryFileSystem.h"
#include "core/BytePrimitives.h"
#include "core/CodePage936.h"
#include "core/CommandRegistry.h"
#include "core/FixedTime.h"
#include "core/MemoryEditor.h"
#include "files/BatchWindow.h"
#include "files/FileCommands.h"

namespace velmor {
namespace {

// The batch window opened on one tab, over files held in memory.
struct BatchWindowRun {
    explicit BatchWindowRun(BatchTab tab = BatchTab::MergeSplit)
        : session(BatchWindowDefinition(tab), context) {
        services.clock = &clock;
        services.files = &files;
    }

    std::string LastMessage() const {
        return editor.Messages().empty() ? std::string() : editor.Messages().back().text;
    }
    MessageKind LastKind() const { return editor.Messages().back().kind; }
    void List(const std::string& list, std::initializer_list<const char*> items) {
        for (const char* item : items) {
            session.AppendListItem(list, item);
        }
    }

    MemoryFileSystem files;
    MemoryEditor editor;
    FixedClock clock{MakeDateTime(2017, 8, 5, 9, 3, 7)};
    Services services;
    CommandContext context{editor, services};
    DialogSession session;
};

const std::string kMergedPath = "/out/201785937_合并.txt";

TEST(MergedFileName, DateAndTimeWithoutLeadingZeros) {
    EXPECT_EQ(GbkToUtf8(MergedFileName(MakeDateTime(2017, 8, 5, 9, 3, 7))), "201785937_合并.txt");
    EXPECT_EQ(GbkToUtf8(MergedFileName(MakeDateTime(2024, 12, 31, 23, 59, 58))),
              "20241231235958_合并.txt");
}

struct MergeRow {
    const char* name;
    bool custom;
    Text customSeparator;
    std::vector<const char*> items;
    ByteString merged;
    std::string message;
};

class MergeTable : public ::testing::TestWithParam<MergeRow> {};

TEST_P(MergeTable, WritesTheListedFilesJoinedAtTheSeparator) {
    const MergeRow& row = GetParam();
    BatchWindowRun run;
    run.files.files = {{"/d/a.txt", "abc"}, {"/d/b.txt", "xyz"}, {"/d/empty", ""}};
    run.files.unreadable = {"/d/locked"};
    run.files.folders = {"/d"};
    for (const char* item : row.items) {
        run.session.AppendListItem("列表框1", item);
    }
    if (row.custom) {
        run.session.ClickRadio("单选框2");
        run.session.SetEditText("编辑框_自定义1", row.customSeparator);
    }
    run.session.SetEditText("编辑框_目录1", "/out/");
    ASSERT_TRUE(run.session.Press("按钮_合并"));
    EXPECT_EQ(run.files.files[kMergedPath], row.merged);
    EXPECT_EQ(run.LastMessage(), row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Merge, MergeTable,
    ::testing::Values(
        MergeRow{"NewLine", false, "", {"/d/a.txt", "/d/b.txt"}, "abc\r\nxyz", "文件合并成功！"},
        MergeRow{"EmptyCustom", true, "", {"/d/a.txt", "/d/b.txt"}, "abcxyz", "文件合并成功！"},
        MergeRow{"CustomBetweenEveryPair",
                 true,
                 "\xD6\xD0",
                 {"/d/a.txt", "/d/empty", "/d/a.txt"},
                 "abc\xD6\xD0\xD6\xD0"
                 "abc",
                 "文件合并成功！"},
        MergeRow{"Duplicates", false, "", {"/d/b.txt", "/d/b.txt"}, "xyz\r\nxyz", "文件合并成功！"},
        // An unreadable file adds nothing, its separators stay, and it is named afterwards.
        MergeRow{"UnreadableNamed",
                 false,
                 "",
                 {"/d/a.txt", "/d/locked", "/d/gone", "/d", "/d/b.txt"},
                 "abc\r\n\r\n\r\n\r\nxyz",
                 "文件合并成功！\n以下文件未能处理：\n/d/locked：无法读取\n/d/gone：文件不存在\n/"
                 "d：是文件夹，不是文件"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Merge, ChecksComeBeforeAnyFileAndInOrder) {
    BatchWindowRun run;
    run.session.Press("按钮_合并");
    EXPECT_EQ(run.LastMessage(), "未选择要拆分/合并的文件！");
    EXPECT_EQ(run.editor.Messages().back().title, kInformationTitle);
    run.session.AppendListItem("列表框1", "/d/a.txt");
    run.session.Press("按钮_拆分");
    EXPECT_EQ(run.LastMessage(), "未选择拆分/合并后保存的目录！");
    EXPECT_EQ(run.files.saves, 0);
}

TEST(Merge, AFailedWriteIsAnError) {
    BatchWindowRun run;
    run.files.files = {{"/d/a.txt", "abc"}};
    run.files.unwritable = {kMergedPath};
    run.List("列表框1", {"/d/a.txt"});
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.session.Press("按钮_合并");
    EXPECT_EQ(run.LastKind(), MessageKind::Error);
    EXPECT_EQ(run.LastMessage(),
              "文件合并失败！\n以下文件未能处理：\n" + kMergedPath + "：无法写入");
}

TEST(Merge, OutputPastTheLimitIsRefusedBeforeReading) {
    BatchWindowRun run;
    run.files.files = {{"/d/a.txt", std::string(1 << 20, 'a')}};
    for (int i = 0; i < 1025; ++i) {
        run.session.AppendListItem("列表框1", "/d/a.txt");
    }
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.session.Press("按钮_合并");
    EXPECT_EQ(run.LastKind(), MessageKind::Error);
    EXPECT_EQ(run.files.saves, 0);
}

struct BaseNameRow {
    Text path;
    Text base;
};

class BaseNameTable : public ::testing::TestWithParam<BaseNameRow> {};

TEST_P(BaseNameTable, LastPathPartUpToItsFirstDot) {
    EXPECT_EQ(SplitBaseName(GetParam().path), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(
    Split, BaseNameTable,
    ::testing::Values(BaseNameRow{"/d/notes.old.txt", "notes"}, BaseNameRow{"/d/README", "README"},
                      BaseNameRow{"/d/.hidden", ""}, BaseNameRow{"/d/.hidden.txt", ""},
                      BaseNameRow{"/d/my file.txt", "my file"}, BaseNameRow{"/d.x/plain", "plain"},
                      BaseNameRow{"/d/\xD6\xD0.txt", "\xD6\xD0"}, BaseNameRow{"name.txt", "name"}));

struct SplitRow {
    const char* name;
    ByteString content;
    bool custom;
    Text separator;
    std::vector<ByteString> pieces;
};

class SplitTable : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitTable, WritesNumberedPieces) {
    const SplitRow& row = GetParam();
    BatchWindowRun run;
    run.files.files = {{"/d/notes.old.txt", row.content}};
    run.List("列表框1", {"/d/notes.old.txt"});
    if (row.custom) {
        run.session.ClickRadio("单选框2");
        run.session.SetEditText("编辑框_自定义1", row.separator);
    }
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.session.Press("按钮_拆分");
    EXPECT_EQ(run.LastMessage(), "文件拆分完成！");
    EXPECT_EQ(run.files.files.size(), 1 + row.pieces.size());
    for (std::size_t j = 0; j < row.pieces.size(); ++j) {
        EXPECT_EQ(run.files.files["/out/notes_" + std::to_string(j + 1) + ".txt"], row.pieces[j])
            << j + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Split, SplitTable,
    ::testing::Values(
        SplitRow{"EmptyPieceKept", "x\r\ny\r\n\r\nz", false, "", {"x", "y", "", "z"}},
        SplitRow{"NoPieceAfterFinalBreak", "x\r\ny\r\n", false, "", {"x", "y"}},
        SplitRow{"LeadingBreak", "\r\nx", false, "", {"", "x"}},
        SplitRow{"LoneCrAndLf", "a\rb\nc", false, "", {"a\rb\nc"}},
        SplitRow{"EmptyFile", "", false, "", {}},
        SplitRow{"EmptySeparator", "a\r\nb", true, "", {"a\r\nb"}},
        SplitRow{"NoOverlap", "aaaaa", true, "aa", {"", "", "a"}},
        // D0 CE spans the end of 中 and the start of 文.
        SplitRow{"AcrossCharacters", "\xD6\xD0\xCE\xC4", true, "\xD0\xCE", {"\xD6", "\xC4"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Split, PiecesMatchBytesSplitOnRandomContent) {
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        ByteString content(random() % 40, '\0');
        for (char& c : content) {
            c = "ab\r\n\xD6"[random() % 5];
        }
        const ByteString separator = round % 3 == 0 ? "\r\n" : round % 3 == 1 ? "a" : "ab";
        std::vector<ByteString> pieces;
        ForEachPiece(content, separator, [&](std::string_view piece) {
            pieces.emplace_back(piece);
            return true;
        });
        EXPECT_EQ(pieces, BytesSplit(content, separator)) << ::testing::PrintToString(content);
    }
}

TEST(Split, SameBaseNamesMeetAndTheLaterWins) {
    BatchWindowRun run;
    run.files.files = {{"/a/n.txt", "1\r\n2\r\n3"}, {"/b/n.ini", "X"}, {"/c/.rc", "dot"}};
    run.List("列表框1", {"/a/n.txt", "/b/n.ini", "/c/.rc"});
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.session.Press("按钮_拆分");
    EXPECT_EQ(run.files.files["/out/n_1.txt"], "X");
    EXPECT_EQ(run.files.files["/out/n_2.txt"], "2");
    EXPECT_EQ(run.files.files["/out/n_3.txt"], "3");
    EXPECT_EQ(run.files.files["/out/_1.txt"], "dot");
}

TEST(Split, AFailedPieceStopsItsFileAndIsReported) {
    BatchWindowRun run;
    run.files.files = {{"/a/n.txt", "1\r\n2\r\n3"}, {"/a/m.txt", "4"}};
    run.files.unwritable = {"/out/n_2.txt"};
    run.List("列表框1", {"/a/n.txt", "/a/m.txt", "/a/missing.txt"});
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.session.Press("按钮_拆分");
    EXPECT_FALSE(run.files.files.contains("/out/n_3.txt"));
    EXPECT_EQ(run.files.files["/out/m_1.txt"], "4");
    EXPECT_EQ(run.LastKind(), MessageKind::Error);
    EXPECT_EQ(
        run.LastMessage(),
        "文件拆分完成！\n以下文件未能处理：\n/a/n.txt：第 2 块未能写入（/out/n_2.txt：无法写入）\n"
        "/a/missing.txt：文件不存在");
}

TEST(Split, APieceNeverReplacesAListedFileStillToBeSplit) {
    BatchWindowRun run;
    run.files.files = {{"/d/a.txt", "x\r\ny"}, {"/d/a_1.txt", "keep\r\nme"}};
    run.List("列表框1", {"/d/a.txt", "/d/a_1.txt", "/d/a.txt"});
    run.session.SetEditText("编辑框_目录1", "/d/");
    run.session.Press("按钮_拆分");
    EXPECT_EQ(run.files.files["/d/a_1_1.txt"], "keep");
    EXPECT_EQ(run.files.files["/d/a_1_2.txt"], "me");
    // Once a_1.txt has had its turn, the second a.txt may replace it.
    EXPECT_EQ(run.files.files["/d/a_1.txt"], "x");
    EXPECT_EQ(run.files.files["/d/a_2.txt"], "y");
    EXPECT_EQ(run.LastMessage(),
              "文件拆分完成！\n以下文件未能处理：\n/d/a.txt：第 1 块未写入（/d/a_1.txt "
              "是列表中尚未拆分的文件）");
}

// Records every step and stops the run at the given call, or once the share done reaches
// cancelAtShare.
class CancellingProgress : public ProgressReporter {
public:
    CancellingProgress(std::size_t cancelAtCall, double cancelAtShare,
                       std::vector<std::uint64_t>& steps)
        : m_cancelAt(cancelAtCall), m_cancelAtShare(cancelAtShare), m_steps(steps) {}
    bool Step(std::uint64_t done, std::uint64_t total) override {
        EXPECT_LE(done, total);
        EXPECT_TRUE(m_steps.empty() || done >= m_steps.back()) << "the bar went back";
        m_steps.push_back(done);
        return m_steps.size() < m_cancelAt &&
               static_cast<double>(done) < m_cancelAtShare * static_cast<double>(total);
    }
    void Finish() override { m_steps.push_back(~std::uint64_t{0}); }

private:
    std::size_t m_cancelAt;
    double m_cancelAtShare;
    std::vector<std::uint64_t>& m_steps;
};

struct ProgressRun : BatchWindowRun {
    explicit ProgressRun(std::size_t cancelAtCall, const char* title,
                         BatchTab tab = BatchTab::MergeSplit, double cancelAtShare = 2)
        : BatchWindowRun(tab) {
        services.progress = [=, this](const std::string& shownTitle) {
            EXPECT_EQ(shownTitle, title);
            return std::make_unique<CancellingProgress>(cancelAtCall, cancelAtShare, steps);
        };
    }
    std::vector<std::uint64_t> steps;
};

TEST(Progress, LongListsShowItAndACancelLeavesTheRestNamed) {
    const struct {
        std::size_t files;
        bool shown;
    } rows[] = {{100, false}, {101, true}};
    for (const auto& row : rows) {
        ProgressRun run(3, "文件拆分");
        for (std::size_t i = 0; i < row.files; ++i) {
            const std::string path = "/d/f" + std::to_string(i);
            run.files.files[path] = "x";
            run.session.AppendListItem("列表框1", path);
        }
        run.session.SetEditText("编辑框_目录1", "/out/");
        run.session.Press("按钮_拆分");
        if (!row.shown) {
            EXPECT_TRUE(run.steps.empty());
            EXPECT_EQ(run.LastMessage(), "文件拆分完成！");
            continue;
        }
        // One step for each file and its byte, read and cut with the CR LF after it.
        EXPECT_EQ(run.steps, (std::vector<std::uint64_t>{0, 5, 10, ~std::uint64_t{0}}));
        EXPECT_EQ(run.files.files["/out/f1_1.txt"], "x");
        EXPECT_FALSE(run.files.files.contains("/out/f2_1.txt"));
        EXPECT_EQ(run.LastKind(), MessageKind::Error);
        EXPECT_TRUE(run.LastMessage().starts_with("文件拆分已取消：已处理 2 个文件。\n"));
        // Forty lines at most, then the count of the rest.
        EXPECT_NE(run.LastMessage().find("/d/f2：已取消\n"), std::string::npos);
        EXPECT_TRUE(run.LastMessage().ends_with("……另有 59 个文件")) << run.LastMessage();
    }
}

TEST(Progress, OneLargeFileStepsThroughItsBytesAndPieces) {
    // 60 pieces of a mebibyte: past the size that shows progress, one step per piece.
    const ByteString piece(1 << 20, 'p');
    ByteString content;
    for (int i = 0; i < 60; ++i) {
        content += piece + "|";
    }
    {
        ProgressRun run(1000, "文件拆分");
        run.files.files["/d/big"] = content;
        run.session.SetEditText("编辑框_目录1", "/out/");
        run.session.ClickRadio("单选框2");
        run.session.SetEditText("编辑框_自定义1", "|");
        run.List("列表框1", {"/d/big"});
        run.session.Press("按钮_拆分");
        // The file's start, 60 mebibytes read, 60 pieces, the end.
        EXPECT_EQ(run.steps.size(), 122u);
        EXPECT_EQ(run.LastMessage(), "文件拆分完成！");
    }
    {
        ProgressRun run(65, "文件拆分");
        run.files.files["/d/big"] = content;
        run.session.SetEditText("编辑框_目录1", "/out/");
        run.session.ClickRadio("单选框2");
        run.session.SetEditText("编辑框_自定义1", "|");
        run.List("列表框1", {"/d/big", "/d/big"});
        run.session.Press("按钮_拆分");
        EXPECT_TRUE(run.files.files.contains("/out/big_4.txt"));
        EXPECT_FALSE(run.files.files.contains("/out/big_5.txt"));
        EXPECT_EQ(run.LastMessage(),
                  "文件拆分已取消：已处理 0 个文件。\n以下文件未能处理：\n/d/big：已取消（已写入 4 "
                  "块）\n/d/big：已取消");
    }
    // Many small pieces of a small file show progress once they pass a count.
    ProgressRun run(1000, "文件拆分");
    ByteString small;
    for (int i = 0; i < 3000; ++i) {
        small += "a\r\n";
    }
    run.files.files["/d/small"] = small;
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.List("列表框1", {"/d/small"});
    run.session.Press("按钮_拆分");
    EXPECT_FALSE(run.steps.empty());
}

TEST(Progress, ACancelledMergeWritesNothingAndSaysHowFarItGot) {
    ProgressRun run(3, "文件合并");
    for (int i = 0; i < 120; ++i) {
        const std::string path = "/d/f" + std::to_string(i);
        run.files.files[path] = "x";
        run.session.AppendListItem("列表框1", path);
    }
    run.session.SetEditText("编辑框_目录1", "/out/");
    run.session.Press("按钮_合并");
    EXPECT_FALSE(run.files.files.contains(kMergedPath));
    ASSERT_EQ(run.editor.Messages().size(), 1u) << "a cancelled merge said nothing";
    EXPECT_EQ(run.LastKind(), MessageKind::Information);
    EXPECT_EQ(run.LastMessage(), "文件合并已取消：已读取 2 / 120 个文件，未写入合并后的文件。");
}

// A 4 MiB file in a list long enough to show progress, cancelled at each stage of its run
// (a share of the run's bytes: read, backed up, written, and converted in between): the bar
// moves within the file, and a cancel there leaves the file and its old backup as they were
// and says so; once the backup is made whole, it may stand. A cancel past the end is none.
TEST(Progress, ACancelWithinAFileLeavesItAsItWas) {
    ByteString big;
    while (big.size() < (std::size_t{4} << 20)) {
        big += "\xD6\xD0 line of Chinese text\r\n";
    }
    const std::string untouched =
        "已取消：已处理 0 个文件。\n以下文件未能处理：\n/d/big：已取消，文件未改动";
    const struct {
        BatchTab tab;
        const char* title;
        const char* button;
        double cancelAt;
        bool backupMade;
        std::string message;
    } rows[] = {
        {BatchTab::HeadTail, "增/删 文件头/尾", "按钮_执行", 0.1, false, untouched},
        {BatchTab::HeadTail, "增/删 文件头/尾", "按钮_执行", 0.5, false, untouched},
        {BatchTab::HeadTail, "增/删 文件头/尾", "按钮_执行", 0.9, true, untouched},
        {BatchTab::HeadTail, "增/删 文件头/尾", "按钮_执行", 2, true, ""},
        {BatchTab::Encoding, "编码转换", "按钮_转换", 0.1, false, untouched},
        {BatchTab::Encoding, "编码转换", "按钮_转换", 0.4, false, untouched},
        {BatchTab::Encoding, "编码转换", "按钮_转换", 0.6, false, untouched},
        {BatchTab::Encoding, "编码转换", "按钮_转换", 0.9, true, untouched},
        {BatchTab::Encoding, "编码转换", "按钮_转换", 2, true, "编码转换完成！"},
        {BatchTab::MergeSplit, "文件合并", "按钮_合并", 0.2, false,
         "文件合并已取消：已读取 0 / 101 个文件，未写入合并后的文件。"},
        {BatchTab::MergeSplit, "文件合并", "按钮_合并", 0.8, false,
         "文件合并已取消：已读取 101 / 101 个文件，未写入合并后的文件。"},
    };
    for (const auto& row : rows) {
        const std::string context = std::string(row.title) + " at " + std::to_string(row.cancelAt);
        ProgressRun run(~std::size_t{0}, row.title, row.tab, row.cancelAt);
        run.files.files["/d/big"] = big;
        run.files.files["/d/big.bak"] = "old backup";
        run.session.AppendListItem(FileListOf(row.tab).list, "/d/big");
        for (int i = 0; i < 100; ++i) {
            run.files.files["/d/f" + std::to_string(i)] = "x";
            run.session.AppendListItem(FileListOf(row.tab).list, "/d/f" + std::to_string(i));
        }
        run.session.SetChecked("选择框_头", true);
        run.session.SetEditText("编辑框_关键字", "#");
        run.session.SetChecked("选择框_备份", true);
        run.session.SetChecked("选择框_备份3", true);
        run.session.SetEditText("编辑框_目录1", "/out/");
        run.session.Press(row.button);
        EXPECT_GE(std::count_if(run.steps.begin(), run.steps.end(),
                                [&](std::uint64_t done) { return done < big.size(); }),
                  3)
            << context << ": no steps within the file";
        EXPECT_EQ(run.files.files["/d/big.bak"].size(),
                  (row.backupMade ? big : ByteString("old backup")).size())
            << context;
        const bool cancelled = row.cancelAt < 1;
        if (row.tab == BatchTab::MergeSplit) {
            EXPECT_FALSE(run.files.files.contains(kMergedPath)) << context;
        } else if (cancelled) {
            EXPECT_TRUE(run.files.files["/d/big"] == big) << context << ": the file was changed";
            EXPECT_EQ(run.files.files["/d/f0"], "x") << context;
        } else {
            EXPECT_TRUE(run.files.files["/d/big"] ==
                        (row.tab == BatchTab::HeadTail ? "#" + big : GbkToUtf8(big)))
                << context;
        }
        const std::string message =
            cancelled && row.tab != BatchTab::MergeSplit ? row.title + row.message : row.message;
        EXPECT_TRUE(run.LastMessage().starts_with(message)) << context << "\n" << run.LastMessage();
    }
}

TEST(FileLists, ClearRemoveAndKeepTheirOwnList) {
    BatchWindowRun run;
    run.List("列表框1", {"a", "b", "c"});
    run.List("列表框2", {"x"});
    run.session.Press("按钮_删除1");  // nothing selected: nothing happens
    EXPECT_EQ(run.session.Fields().At("列表框1").items.size(), 3u);
    run.session.SelectRow("列表框1", 1);
    run.session.Press("按钮_删除1");
    EXPECT_EQ(run.session.Fields().At("列表框1").items, (TextList{"a", "c"}));
    run.session.Press("按钮_清空1");
    EXPECT_TRUE(run.session.Fields().At("列表框1").items.empty());
    EXPECT_EQ(run.session.Fields().At("列表框2").items, (TextList{"x"}));
}

TEST(BatchWindow, EachTabItemOpensItsTabWithItsActionButton) {
    const CommandRegistry registry = BuildCommandRegistry();
    const struct {
        const char* command;
        int tab;
        const char* action;
    } rows[] = {
        {"合并/拆分", 0, ""}, {"增/删 文件头/尾", 1, "按钮_执行"}, {"编码转换", 2, "按钮_转换"}};
    for (const auto& row : rows) {
        const Command* command = registry.FindByName(row.command);
        ASSERT_NE(command, nullptr);
        ASSERT_NE(command->dialog, nullptr);
        EXPECT_FALSE(command->supportNotice);
        EXPECT_EQ(command->dialog->title, "文件批量操作");
        EXPECT_EQ(command->dialog->actionButton, row.action);
        DialogFields fields;
        command->dialog->createControls(fields);
        EXPECT_EQ(fields.At(kBatchTabControl).currentIndex, row.tab);
        EXPECT_EQ(fields.At(kBatchTabControl).columns,
                  (std::vector<std::string>{"文件合并/拆分", "增/删_文件头/尾", "编码转换"}));
    }
}

}  // namespace
}  // namespace velmor
