#include <gtest/gtest.h>

#include <random>

#include "../support/Iconv.h"
#include "../support/MemoryFileSystem.h"
#include "core/CodePage936.h"
#include "core/MemoryEditor.h"
#include "core/Utf8.h"
#include "files/BatchWindow.h"
#include "files/FileCommands.h"

namespace velmor {
namespace {

using namespace std::string_literals;

struct HeadTailRow {
    ByteString content;
    ByteString keyword;
    bool add;
    bool head;
    bool tail;
    ByteString expected;
};

class HeadTailTable : public ::testing::TestWithParam<HeadTailRow> {};

TEST_P(HeadTailTable, EditsOneCopyAtEachChosenEnd) {
    const HeadTailRow& row = GetParam();
    EXPECT_EQ(ApplyHeadTail(row.content, {row.keyword, row.add, row.head, row.tail}), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    HeadTail, HeadTailTable,
    ::testing::Values(HeadTailRow{"abc", "##", true, true, true, "##abc##"},
                      HeadTailRow{"abc", "##", true, false, true, "abc##"},
                      HeadTailRow{"", "##", true, true, true, "####"},
                      HeadTailRow{"##abc##", "##", false, true, false, "abc##"},
                      HeadTailRow{"abc##", "##", false, true, false, "abc##"},
                      HeadTailRow{"##", "##", false, true, true, ""},
                      HeadTailRow{"###", "##", false, true, true, "#"},
                      HeadTailRow{"##abc", "#", false, true, false, "#abc"},
                      HeadTailRow{"abc", "ABC", false, true, true, "abc"},
                      HeadTailRow{"a", "abc", false, true, true, "a"},
                      // Bytes, not characters: D6 D0 ends with the byte D0.
                      HeadTailRow{"\xD6\xD0", "\xD0", false, false, true, "\xD6"}));

// The second tab over files held in memory.
struct HeadTailRun {
    HeadTailRun() : session(BatchWindowDefinition(BatchTab::HeadTail), context) {
        services.files = &files;
    }
    void Run(std::initializer_list<const char*> items, const Text& keyword, bool add, bool head,
             bool tail, bool backup) {
        for (const char* item : items) {
            session.AppendListItem("列表框2", item);
        }
        session.ClickRadio(add ? "单选框_增加" : "单选框_删除");
        session.SetChecked("选择框_头", head);
        session.SetChecked("选择框_尾", tail);
        session.SetChecked("选择框_备份", backup);
        session.SetEditText("编辑框_关键字", keyword);
        session.Press("按钮_执行");
    }

    MemoryFileSystem files;
    MemoryEditor editor;
    Services services;
    CommandContext context{editor, services};
    DialogSession session;
};

TEST(HeadTail, ChecksInOrderTouchNoFile) {
    const struct {
        std::vector<const char*> items;
        bool head;
        Text keyword;
        const char* message;
    } rows[] = {{{}, true, "#", "未添加需要 增删文件头尾的文件！"},
                {{"/a"}, false, "#", "需要增删 文件头，还是尾？"},
                {{"/a"}, true, "", "未填写需要增删的文本！"}};
    for (const auto& row : rows) {
        HeadTailRun run;
        run.files.files = {{"/a", "x"}};
        for (const char* item : row.items) {
            run.session.AppendListItem("列表框2", item);
        }
        run.session.SetChecked("选择框_头", row.head);
        run.session.SetEditText("编辑框_关键字", row.keyword);
        run.session.Press("按钮_执行");
        ASSERT_EQ(run.editor.Messages().size(), 1u);
        EXPECT_EQ(run.editor.Messages()[0].text, row.message);
        EXPECT_EQ(run.editor.Messages()[0].title, kInformationTitle);
        EXPECT_EQ(run.files.saves, 0);
    }
}

TEST(HeadTail, SilentWhenEveryFileWentWellAndRunsAddAgain) {
    HeadTailRun run;
    run.files.files = {{"/a", "abc"}, {"/b", ""}};
    run.Run({"/a", "/b"}, "##", true, true, true, false);
    run.session.Press("按钮_执行");
    EXPECT_EQ(run.files.files["/a"], "####abc####");
    EXPECT_EQ(run.files.files["/b"], "########");
    EXPECT_TRUE(run.editor.Messages().empty());
}

TEST(HeadTail, BackupHoldsTheFileAsItWasBeforeEachRun) {
    HeadTailRun run;
    run.files.files = {{"/d/notes.txt", "abc"}};
    run.Run({"/d/notes.txt"}, "#", true, true, false, true);
    EXPECT_EQ(run.files.files["/d/notes.txt.bak"], "abc");
    run.session.Press("按钮_执行");
    EXPECT_EQ(run.files.files["/d/notes.txt.bak"], "#abc");
    EXPECT_EQ(run.files.files["/d/notes.txt"], "##abc");
}

TEST(HeadTail, UnreadableOrUnbackedFilesAreLeftAndNamed) {
    HeadTailRun run;
    run.files.files = {{"/locked", "keep"}, {"/nobak", "keep too"}, {"/ok", "x"}};
    run.files.unreadable = {"/locked"};
    run.files.unwritable = {"/nobak.bak"};
    run.Run({"/locked", "/nobak", "/ok"}, "#", false, true, true, true);
    EXPECT_EQ(run.files.files["/locked"], "keep");
    EXPECT_EQ(run.files.files["/nobak"], "keep too");
    EXPECT_EQ(run.files.files["/ok"], "x");
    ASSERT_EQ(run.editor.Messages().size(), 1u);
    EXPECT_EQ(run.editor.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(run.editor.Messages()[0].text,
              "以下文件未能处理：\n/locked：无法读取，文件未改动\n/"
              "nobak：备份失败（无法写入），文件未改动");
}

TEST(HeadTail, AMissingFileCountsAsEmpty) {
    HeadTailRun run;
    run.Run({"/new"}, "##", true, true, true, true);
    EXPECT_EQ(run.files.files["/new"], "####");
    EXPECT_FALSE(run.files.files.contains("/new.bak"));
    EXPECT_TRUE(run.editor.Messages().empty());
}

TEST(HeadTail, AFailedWriteIsNamed) {
    HeadTailRun run;
    run.files.files = {{"/ro", "abc"}};
    run.files.unwritable = {"/ro"};
    run.Run({"/ro"}, "#", true, true, false, false);
    EXPECT_EQ(run.files.files["/ro"], "abc");
    ASSERT_EQ(run.editor.Messages().size(), 1u);
    EXPECT_EQ(run.editor.Messages()[0].text, "以下文件未能处理：\n/ro：无法写入");
}

struct ConversionRow {
    const char* name;
    ByteString input;
    EncodingDirection direction;
    bool byteOrderMark;
    std::optional<ByteString> expected;
};

class ConversionTable : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(ConversionTable, ConvertsWithoutLoss) {
    const ConversionRow& row = GetParam();
    std::string reason;
    EXPECT_EQ(ConvertEncoding(row.input, row.direction, row.byteOrderMark, 1 << 20, reason),
              row.expected);
    EXPECT_EQ(reason.empty(), row.expected.has_value());
}

using enum EncodingDirection;
INSTANTIATE_TEST_SUITE_P(
    Conversion, ConversionTable,
    ::testing::Values(
        ConversionRow{"Chinese", "a\xD6\xD0\xCE\xC4\r\n", GbkToUtf8, false, "a中文\r\n"},
        ConversionRow{"WithMark", "\xD6\xD0", GbkToUtf8, true, "\xEF\xBB\xBF中"},
        ConversionRow{"Euro", "\x80", GbkToUtf8, false, "€"},
        // 81 30 84 36 is the four-byte code of U+00A5, beyond what GBK holds.
        ConversionRow{"FourByte", "\x81\x30\x84\x36", GbkToUtf8, false, "\xC2\xA5"},
        ConversionRow{"Empty", "", GbkToUtf8, true, "\xEF\xBB\xBF"},
        ConversionRow{"LoneLead", "ab\xD6", GbkToUtf8, false, std::nullopt},
        ConversionRow{"BadTrail", "\xD6\x7F", GbkToUtf8, false, std::nullopt},
        ConversionRow{"ByteFF", "\xFF", GbkToUtf8, false, std::nullopt},
        ConversionRow{"Back", "a中文\r\n", Utf8ToGbk, false, "a\xD6\xD0\xCE\xC4\r\n"},
        ConversionRow{"MarkDropped", "\xEF\xBB\xBF中", Utf8ToGbk, true, "\xD6\xD0"},
        ConversionRow{"Emoji", "😀", Utf8ToGbk, false, "\x94\x39\xFC\x36"},
        ConversionRow{"NotUtf8", "\xD6\xD0", Utf8ToGbk, false, std::nullopt},
        ConversionRow{"Surrogate", "\xED\xA0\x80", Utf8ToGbk, false, std::nullopt},
        // UTF-16 sources: by the mark, else by where the zero bytes sit.
        ConversionRow{"Utf16Le",
                      "\xFF\xFE"
                      "a\0\x2D\x4E"s,
                      Utf8ToGbk, false, "a\xD6\xD0"},
        ConversionRow{"Utf16Be", "\xFE\xFF\0a\x4E\x2D"s, Utf8ToGbk, false, "a\xD6\xD0"},
        ConversionRow{"Utf16MarkOnly", "\xFF\xFE", Utf8ToGbk, false, ""},
        ConversionRow{"Utf16Pair", "\xFE\xFF\xD8\x3D\xDE\x00"s, Utf8ToGbk, false,
                      "\x94\x39\xFC\x36"},
        // 一 is U+4E00: its zero low byte is outnumbered by the ASCII high ones.
        ConversionRow{"Utf16LeUnmarked", "a\0\0\x4E\n\0"s, Utf8ToGbk, false, "a\xD2\xBB\n"},
        ConversionRow{"Utf16BeUnmarked", "\0a\x4E\x2D"s, Utf8ToGbk, false, "a\xD6\xD0"},
        ConversionRow{"Utf16LoneSurrogate",
                      "\xFF\xFE\x3D\xD8"
                      "a\0"s,
                      Utf8ToGbk, false, std::nullopt},
        ConversionRow{"Utf16Zero",
                      "\xFF\xFE"
                      "a\0\0\0"s,
                      Utf8ToGbk, false, std::nullopt},
        ConversionRow{"Utf16OddLength",
                      "\xFF\xFE"
                      "a\0b"s,
                      Utf8ToGbk, false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Conversion, RoundTripsEveryTwoByteCode) {
    ByteString all;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const ByteString code{static_cast<char>(lead), static_cast<char>(trail)};
            std::string reason;
            if (const auto utf8 = ConvertEncoding(code, GbkToUtf8, false, 16, reason)) {
                EXPECT_EQ(ConvertEncoding(*utf8, Utf8ToGbk, false, 16, reason), code);
                all += code;
            }
        }
    }
    EXPECT_GT(all.size(), 2u * 21000);
}

TEST(Conversion, Utf16SourcesAgreeWithIconv) {
    test::Iconv toUtf16Le("UTF-16LE", "UTF-8");
    test::Iconv toUtf16Be("UTF-16BE", "UTF-8");
    std::mt19937 random(16);
    for (int round = 0; round < 300; ++round) {
        std::string utf8 = "line\r\n";
        for (int k = 0; k < 40; ++k) {
            char32_t c = random() % 0x10FFFF + 1;
            if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0x4E00 + random() % 0x5000;
            }
            AppendUtf8(utf8, c);
        }
        const ByteString gbk = velmor::Utf8ToGbk(utf8);
        for (const bool bigEndian : {false, true}) {
            const std::string units = *(bigEndian ? toUtf16Be : toUtf16Le).Convert(utf8);
            const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
            std::string reason;
            ASSERT_EQ(ConvertEncoding(mark + units, Utf8ToGbk, false, 1 << 20, reason), gbk);
            ASSERT_EQ(ConvertEncoding(units, Utf8ToGbk, false, 1 << 20, reason), gbk)
                << "without the mark, by the zero bytes of the ASCII";
        }
    }
}

TEST(Conversion, TooLargeResultsAreRefused) {
    std::string reason;
    EXPECT_FALSE(ConvertEncoding(std::string(100, '\x80'), GbkToUtf8, false, 250, reason));
    EXPECT_EQ(reason, "文件太大，文件未改动");
}

TEST(Conversion, TabConvertsEachFileAndNamesTheOnesLeft) {
    MemoryFileSystem files;
    files.files = {{"/gbk", "\xD6\xD0"}, {"/bad", "\xD6"}};
    MemoryEditor editor;
    Services services;
    services.files = &files;
    CommandContext context{editor, services};
    DialogSession session(BatchWindowDefinition(BatchTab::Encoding), context);
    session.AppendListItem("列表框3", "/gbk");
    session.AppendListItem("列表框3", "/bad");
    session.SetChecked("选择框_备份3", true);
    session.Press("按钮_转换");
    EXPECT_EQ(files.files["/gbk"], "中");
    EXPECT_EQ(files.files["/gbk.bak"], "\xD6\xD0");
    EXPECT_EQ(files.files["/bad"], "\xD6");
    EXPECT_FALSE(files.files.contains("/bad.bak"));
    EXPECT_EQ(editor.Messages().back().text,
              "编码转换完成！\n以下文件未能处理：\n/bad：含有不是 GBK 的字节，文件未改动");
    // The mark belongs to UTF-8 output only.
    EXPECT_TRUE(session.Fields().At("选择框_BOM").enabled);
    session.ClickRadio("单选框_到GBK");
    EXPECT_FALSE(session.Fields().At("选择框_BOM").enabled);
    session.Press("按钮_转换");
    EXPECT_EQ(files.files["/gbk"], "\xD6\xD0");
}

}  // namespace
}  // namespace velmor
