#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/DialogFields.h"
#include "core/MemoryEditor.h"
#include "core/Random.h"

namespace velmor {
namespace {

// A dialog whose action appends its fields to the document, so a run's output shows what the
// steps did.
DialogDefinition MakeDialog() {
    DialogDefinition dialog;
    dialog.createControls = [](DialogFields& fields) {
        fields.Add("编辑框1", ControlKind::EditBox).text = "d";
        fields.Add("复选框1", ControlKind::CheckBox);
        Control& each = fields.Add("单选框_每段", ControlKind::RadioButton);
        each.group = "g";
        each.checked = true;
        fields.Add("单选框_指定", ControlKind::RadioButton).group = "g";
        fields.Add("编辑框_段", ControlKind::EditBox).enabled = false;
        fields.Add("组合框1", ControlKind::DropDown).items = {"\xD6\xD0", "b"};
        fields.Add("列表框1", ControlKind::ListBox);
        fields.Add("按钮1", ControlKind::Button);
        fields.Add("按钮_清空", ControlKind::Button);
        fields.Add("标签1", ControlKind::Label);
    };
    dialog.onClick["单选框_指定"] = [](DialogFields& fields, CommandContext&) {
        fields.At("编辑框_段").enabled = true;
    };
    dialog.onClick["单选框_每段"] = [](DialogFields& fields, CommandContext&) {
        fields.At("编辑框_段").enabled = false;
    };
    dialog.onPress["按钮_清空"] = [](DialogFields& fields, CommandContext&) {
        fields.At("列表框1").items.clear();
    };
    dialog.onPress["按钮1"] = [](DialogFields& fields, CommandContext& context) {
        Text out = context.editor.ReadText() + "[" + fields.TextOf("编辑框1") + "|" +
                   (fields.IsChecked("复选框1") ? "1" : "0") + "|" +
                   (fields.IsChecked("单选框_指定") ? fields.TextOf("编辑框_段") : "*") + "|" +
                   fields.TextOf("组合框1");
        for (const Text& item : fields.At("列表框1").items) {
            out += "|" + item;
        }
        context.editor.ReplaceText(out + "]");
    };
    dialog.actionButton = "按钮1";
    return dialog;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class BatchRunnerTest : public ::testing::Test {
protected:
    BatchRunnerTest() {
        Command direct;
        direct.caption = "&T.直接";
        direct.supportNotice = true;
        direct.run = [](CommandContext& context) {
            const MessageAnswer answer =
                context.editor.ShowMessage(MessageKind::Question, "继续？", kQuestionTitle);
            const char* said = answer == MessageAnswer::Yes  ? "yes"
                               : answer == MessageAnswer::No ? "no"
                                                             : "cancel";
            context.editor.ShowMessage(MessageKind::Information, "行1\r\n行2", kInformationTitle);
            context.editor.ReplaceText(context.editor.ReadText() + said);
        };
        m_registry.Add(direct);

        Command clock;
        clock.caption = "时钟";
        clock.run = [](CommandContext& context) {
            const DateTime now = context.services.clock->Now();
            context.services.random->SeedRandom();
            const int first = context.services.random->RandomBetween(0, 1000000);
            context.editor.ReplaceText(std::to_string(DatePart(now, DateUnit::Year)) + "-" +
                                       std::to_string(DatePart(now, DateUnit::Second)) + " " +
                                       std::to_string(first));
        };
        m_registry.Add(clock);

        Command dialogCommand;
        dialogCommand.caption = "对话";
        dialogCommand.dialog = &m_dialog;
        m_registry.Add(dialogCommand);

        m_twoButtons.actionButton.clear();
        Command twoButtons;
        twoButtons.caption = "两钮";
        twoButtons.dialog = &m_twoButtons;
        m_registry.Add(twoButtons);

        Command files;
        files.caption = "合并/拆分";
        files.dialog = &m_dialog;
        m_registry.Add(files);

        Command window;
        window.caption = "&C.复制";
        window.windowOnly = true;
        m_registry.Add(window);

        Command pending;
        pending.caption = "未做";
        m_registry.Add(pending);
    }

    Outcome Run(std::vector<std::string> arguments, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = RunBatch(arguments, m_registry, {in, out, err});
        return {status, out.str(), err.str()};
    }

    DialogDefinition m_dialog = MakeDialog();
    DialogDefinition m_twoButtons = MakeDialog();
    CommandRegistry m_registry;
};

TEST_F(BatchRunnerTest, DirectCommandPrintsMessagesAndTheDocument) {
    const Outcome outcome = Run({"--answer", "yes", "直接"}, std::string("ab\0cd", 5));
    EXPECT_EQ(outcome.status, kExitRan);
    EXPECT_EQ(outcome.out, "abyes") << "input is cut at the first zero byte";
    EXPECT_EQ(outcome.err, "询问 继续？\n信息： 行1\\r\\n行2\n");
    EXPECT_EQ(Run({"直接"}).out, "cancel");
    EXPECT_EQ(Run({"--answer=no", "直接"}).out, "no");
}

TEST_F(BatchRunnerTest, FixedClockAndTickMakeRunsReproducible) {
    const Outcome first = Run({"--now", "2017-08-05 09:03:07", "--tick", "1234", "时钟"});
    const Outcome second = Run({"--now=2017-08-05 09:03:07", "--tick=1234", "时钟"});
    ASSERT_EQ(first.status, kExitRan) << first.err;
    EXPECT_TRUE(first.out.starts_with("2017-7 ")) << first.out;
    EXPECT_EQ(first.out, second.out);

    {
        struct Fixed : TickSource {
            std::uint32_t Milliseconds() const override { return 1234; }
        } ticks;
        RandomGenerator random(ticks);
        random.SeedRandom();
        EXPECT_EQ(first.out, "2017-7 " + std::to_string(random.RandomBetween(0, 1000000)))
            << "the seeding counter starts at 0";
    }
}

TEST_F(BatchRunnerTest, Utf8InAndOut) {
    const Outcome outcome = Run({"--utf8", "对话", "编辑框1=中"}, "文");
    EXPECT_EQ(outcome.status, kExitRan) << outcome.err;
    EXPECT_EQ(outcome.out, "文[中|0|*|]");
}

// UTF-16 bytes of ASCII and BMP characters, with the mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST_F(BatchRunnerTest, EncodingsReadAndWriteTheDocumentOrRefuseWhatTheyCannotHold) {
    struct Row {
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::string out;
    };
    const Row rows[] = {
        {{"--encoding=auto", "直接"}, Utf16(u"中", false), kExitRan, Utf16(u"中cancel", false)},
        {{"--encoding", "auto", "直接"}, Utf16(u"中", true), kExitRan, Utf16(u"中cancel", true)},
        {{"--encoding", "auto", "直接"}, "中", kExitRan, "中cancel"},
        {{"--encoding", "auto", "直接"}, "\xEF\xBB\xBF中", kExitRan, "\xEF\xBB\xBF中cancel"},
        {{"--encoding", "auto", "直接"},
         "\xD6\xD0",
         kExitRan,
         "\xD6\xD0"
         "cancel"},
        {{"--encoding", "auto", "直接"}, "ab", kExitRan, "abcancel"},
        {{"--encoding", "utf-16be", "直接"}, Utf16(u"x", true), kExitRan, Utf16(u"xcancel", true)},
        {{"--encoding", "utf-16le", "直接"},
         Utf16(u"x", false).substr(2),
         kExitRan,
         Utf16(u"xcancel", false)},
        {{"--encoding", "utf-8-bom", "直接"}, "中", kExitRan, "\xEF\xBB\xBF中cancel"},
        {{"--encoding", "gbk", "直接"}, "中", kExitRan, "中cancel"},
        {{"--encoding", "utf-8", "直接"}, "中", kExitRan, "中cancel"},
        {{"--utf8", "直接"}, "a\xFF", kExitFileError, ""},
        {{"--encoding", "utf-16le", "直接"}, Utf16(u"a", false) + "\x41", kExitFileError, ""},
        {{"--encoding", "utf-8-bom", "直接"}, "\xFF", kExitFileError, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments) + testing::PrintToString(row.input));
        const Outcome outcome = Run(row.arguments, row.input);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.out, row.out);
        const std::string lastLine =
            outcome.err.substr(outcome.err.rfind('\n', outcome.err.size() - 2) + 1);
        if (row.status == kExitFileError) {
            EXPECT_TRUE(lastLine.starts_with("velmor-text: cannot write the result as "))
                << outcome.err;
        }
    }
}

TEST_F(BatchRunnerTest, StepsFillTheDialogThenTheActionButtonIsPressed) {
    const Outcome outcome =
        Run({"对话", "编辑框1=a\\tb\\\\c\\x", "复选框1=1", "单选框_指定", "编辑框_段=1,3",
             "组合框1=中", "列表框1=a.txt", "列表框1=b.txt", "select=列表框1:1"});
    EXPECT_EQ(outcome.status, kExitRan) << outcome.err;
    EXPECT_EQ(outcome.out, "[a\tb\\c\\x|1|1,3|\xD6\xD0|a.txt|b.txt]");
}

TEST_F(BatchRunnerTest, PressStepsRunInOrderAndReplaceTheDefaultPress) {
    const Outcome outcome =
        Run({"对话", "列表框1=a", "press=按钮1", "press=按钮_清空", "编辑框1=e", "press=按钮1"});
    EXPECT_EQ(outcome.status, kExitRan) << outcome.err;
    EXPECT_EQ(outcome.out, "[d|0|*||a][e|0|*|]");
}

TEST_F(BatchRunnerTest, FileOnlyCommandsWriteNoDocument) {
    const Outcome outcome = Run({"合并/拆分", "press=按钮1"}, "ignored");
    EXPECT_EQ(outcome.status, kExitRan) << outcome.err;
    EXPECT_EQ(outcome.out, "");
}

TEST_F(BatchRunnerTest, UsageErrorsWriteOneLineAndNothingElse) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--bogus", "直接"},
        {"--in"},
        {"--answer", "maybe", "直接"},
        {"--now", "2017-02-29 00:00:00", "直接"},
        {"--now", "2017-8-5 9:03:07", "直接"},
        {"--tick", "-1", "直接"},
        {"--tick", "4294967296", "直接"},
        {"--utf8=1", "直接"},
        {"没有"},
        {"复制"},
        {"未做"},
        {"直接", "编辑框1=x"},
        {"对话", "编辑框9=x"},
        {"对话", "标签1=x"},
        {"对话", "复选框1=yes"},
        {"对话", "编辑框1"},
        {"对话", "编辑框_段=1"},
        {"对话", "组合框1=c"},
        {"对话", "select=列表框1:0"},
        {"对话", "select=列表框1:x"},
        {"对话", "select=编辑框1:0"},
        {"对话", "press=编辑框1"},
        {"对话", "=x"},
        {"两钮", "编辑框1=x"},
        {"直接", "--utf8"},
        {"对话", "编辑框1=x", "--answer=yes"},
        {"直接", "--help"},
        {"--utf8", "--utf8", "直接"},
        {"--answer", "yes", "--answer=no", "直接"},
        {"--in", "a", "--in", "a", "直接"},
        {"--encoding", "latin1", "直接"},
        {"--encoding", "utf-8", "--utf8", "直接"},
        {"--encoding"},
    };
    for (const auto& arguments : cases) {
        std::string shown;
        for (const std::string& argument : arguments) {
            shown += argument + " ";
        }
        const Outcome outcome = Run(arguments, "text");
        EXPECT_EQ(outcome.status, kExitUsage) << shown;
        EXPECT_EQ(outcome.out, "") << shown;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << shown;
    }
}

TEST_F(BatchRunnerTest, UsageErrorsNameTheirReason) {
    EXPECT_NE(Run({"直接", "--utf8"}).err.find("options go before the command"), std::string::npos);
    EXPECT_NE(Run({"--tick", "1", "--tick=2", "直接"}).err.find("--tick is given twice"),
              std::string::npos);
}

TEST_F(BatchRunnerTest, HelpAndVersionPrintAndReadNothing) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"--utf8", "-h", "直接"}}) {
        const Outcome outcome = Run(arguments, "text");
        EXPECT_EQ(outcome.status, kExitRan) << arguments.front();
        EXPECT_TRUE(outcome.out.starts_with("usage: velmor-text [OPTIONS] COMMAND [STEP ...]\n"))
            << outcome.out;
        EXPECT_NE(outcome.out.find("--answer"), std::string::npos);
        EXPECT_EQ(outcome.err, "");
    }
    const Outcome version = Run({"--version"});
    EXPECT_EQ(version.status, kExitRan);
    EXPECT_TRUE(version.out.starts_with("velmor-text ")) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
}

TEST_F(BatchRunnerTest, UnreadableStandardInputIsAFileError) {
    std::istringstream in("text");
    std::ostringstream out;
    std::ostringstream err;
    const auto unreadable = [] { return std::optional<ByteString>(); };
    EXPECT_EQ(RunBatch({"直接"}, m_registry, {in, out, err, unreadable}), kExitFileError);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "velmor-text: cannot read standard input\n");
}

TEST_F(BatchRunnerTest, AMisspeltLaterStepStopsTheRunBeforeAnythingIsPressed) {
    int presses = 0;
    m_dialog.onPress["按钮1"] = [&presses](DialogFields&, CommandContext&) { ++presses; };
    const Outcome outcome = Run({"对话", "press=按钮1", "编辑框x=1"});
    EXPECT_EQ(outcome.status, kExitUsage);
    EXPECT_EQ(presses, 0);
}

TEST_F(BatchRunnerTest, FilesInAndOut) {
    const auto directory =
        std::filesystem::temp_directory_path() /
        ("velmor-batch-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(directory);
    const std::string in = (directory / "in.txt").string();
    const std::string out = (directory / "out.txt").string();
    std::ofstream(in, std::ios::binary) << "x";

    EXPECT_EQ(Run({"--in", in, "--out", out, "直接"}).status, kExitRan);
    std::ifstream written(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "xcancel");

    const Outcome missing = Run({"--in", (directory / "none.txt").string(), "直接"});
    EXPECT_EQ(missing.status, kExitFileError);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(Run({"--in", directory.string(), "直接"}).status, kExitFileError);
    EXPECT_EQ(Run({"--out", (directory / "no" / "such.txt").string(), "直接"}).status,
              kExitFileError);
    std::filesystem::remove_all(directory);
}

TEST(BatchStepsTest, ParsesTheFourKindsOfStep) {
    std::string error;
    const auto set = ParseStep("编辑框_文本=。\\r\\n=", error);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->kind, BatchStep::Kind::Set);
    EXPECT_EQ(set->name, "编辑框_文本");
    EXPECT_EQ(set->value, "\xA1\xA3\r\n=");

    const auto click = ParseStep("单选框_每段", error);
    ASSERT_TRUE(click);
    EXPECT_EQ(click->kind, BatchStep::Kind::Click);

    const auto select = ParseStep("select=列表:框:12", error);
    ASSERT_TRUE(select);
    EXPECT_EQ(select->kind, BatchStep::Kind::Select);
    EXPECT_EQ(select->name, "列表:框");
    EXPECT_EQ(select->index, 12);

    const auto press = ParseStep("press=按钮_合并", error);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->kind, BatchStep::Kind::Press);
    EXPECT_EQ(press->name, "按钮_合并");

    for (const char* bad : {"select=列表", "select=列表:-1", "select=列表:1x", "press=", "=v"}) {
        EXPECT_FALSE(ParseStep(bad, error)) << bad;
    }
}

TEST(BatchStepsTest, EscapesResolveBeforeTheCodePageConversion) {
    EXPECT_EQ(ResolveEscapes("a\\r\\n\\t\\\\b"), "a\r\n\t\\b");
    EXPECT_EQ(ResolveEscapes("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(ResolveEscapes("\\\\n"), "\\n");
    std::string error;
    // 乗 in GBK ends in the byte 0x5C; it must survive as a character.
    const auto step = ParseStep("编辑框1=\xE4\xB9\x97n", error);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->value.back(), 'n');
    EXPECT_EQ(step->value.size(), 3u);
}

}  // namespace
}  // namespace velmor
