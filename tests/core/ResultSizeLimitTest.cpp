#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/FixedMemoryBudget.h"
#include "ParagraphDialogRun.h"
#include "core/CodePage936.h"
#include "core/CommandRegistry.h"
#include "core/ResultSizeLimit.h"
#include "paragraph/ParagraphCommands.h"
#include "search/RegexDialog.h"
#include "search/ReplaceDialogs.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

TEST(MaxResultBytes, LeavesAMarginAndRoomForTheEditorsCopy) {
    const Services none;
    EXPECT_EQ(MaxResultBytes(none), kMaxResultBytes);
    // 8 GiB available: 1 GiB + 64 MiB kept back, the rest shared at 2 bytes in 5.
    EXPECT_EQ(MaxResultBytesFor(8192 * kMiB, UINT64_MAX), (8192 - 1024 - 64) * kMiB / 5 * 2);
    EXPECT_EQ(MaxResultBytesFor(8192 * kMiB, 1000), 1000u);
    // Less than the margin leaves nothing.
    EXPECT_EQ(MaxResultBytesFor(60 * kMiB, UINT64_MAX), 0u);
    EXPECT_EQ(MaxResultBytesFor(0, UINT64_MAX), 0u);
    // Beyond 1 GiB where the machine has the memory.
    EXPECT_GT(MaxResultBytesFor(16384 * kMiB, UINT64_MAX), std::size_t{4} << 30);
    const test::FixedMemoryBudget budget(4096);
    Services services;
    services.memory = &budget;
    EXPECT_EQ(MaxResultBytes(services), 4096u);
}

// A whole-document command run under a budget of limit bytes.
struct LimitedRun {
    const char* name;
    const DialogDefinition* dialog;  // null for a direct command
    std::vector<std::string> steps;
    Text document;
};

struct Outcome {
    Text text;
    int changes = 0;
    std::vector<std::string> messages;
};

Outcome RunLimited(const LimitedRun& run, const MemoryBudget* budget) {
    DialogRun dialogRun(run.dialog != nullptr ? *run.dialog : BasicReplaceDialog(), run.document);
    dialogRun.services.memory = budget;
    if (run.dialog != nullptr) {
        EXPECT_TRUE(dialogRun.Apply(run.steps)) << run.name;
        dialogRun.Press();
    } else {
        static const CommandRegistry registry = BuildCommandRegistry();
        const Command* command = registry.FindByName(run.name);
        EXPECT_NE(command, nullptr) << run.name;
        if (command != nullptr) {
            CommandRegistry::RunDirect(*command, dialogRun.context);
        }
    }
    Outcome outcome{dialogRun.editor.ReadText(), dialogRun.editor.ChangeNotifications(), {}};
    for (const MemoryEditor::Message& message : dialogRun.editor.Messages()) {
        outcome.messages.push_back(message.text);
    }
    return outcome;
}

// Every command that grows the document keeps to the run's budget: a result of exactly the
// limit is written, one a byte longer is refused with the message and changes nothing.
TEST(MaxResultBytes, EveryGrowingCommandKeepsToTheBudget) {
    const Text paragraphs = "p\r\nq\r\n\r\nr";
    const std::vector<LimitedRun> runs = {
        {"到全角", nullptr, {}, "ab c\r\n\xD6\xD0~"},
        {"秒到时分秒", nullptr, {}, Utf8ToGbk("1000000秒 5秒")},
        {"基本替换", &BasicReplaceDialog(), {"编辑框1=a", "编辑框2=aa"}, "banana"},
        {"正则替换",
         &RegexDialog(RegexDialogMode::RegexReplace),
         {"编辑框_正则=a", "编辑框2=xx"},
         "banana"},
        {"正则提取",
         &RegexDialog(RegexDialogMode::RegexReplace),
         {"单选框2", "编辑框_正则=a|n"},
         "banana"},
        {"连续换行符数变更",
         &LineBreakCountDialog(),
         {"编辑框_被=1", "编辑框_欲=3"},
         "a\r\nb\r\nc"},
        {"分割文本", &SplitTextDialog(), {"编辑框1=,"}, "a,b,,c"},
        {"段前空格", &IndentParagraphsDialog(), {"编辑框1=4"}, paragraphs},
        {"插入固定文本", &InsertFixedTextDialog(), {"单选框_每段", "编辑框_文本=xyz"}, paragraphs},
    };
    for (const LimitedRun& run : runs) {
        const Outcome unlimited = RunLimited(run, nullptr);
        ASSERT_GT(unlimited.text.size(), run.document.size()) << run.name;
        const test::FixedMemoryBudget exact(unlimited.text.size());
        const Outcome atLimit = RunLimited(run, &exact);
        EXPECT_EQ(atLimit.text, unlimited.text) << run.name;
        EXPECT_TRUE(atLimit.messages.empty()) << run.name;
        const test::FixedMemoryBudget short1(unlimited.text.size() - 1);
        const Outcome refused = RunLimited(run, &short1);
        EXPECT_EQ(refused.text, run.document) << run.name;
        EXPECT_EQ(refused.changes, 0) << run.name;
        EXPECT_EQ(refused.messages, std::vector<std::string>{kResultTooLargeMessage}) << run.name;
    }
}

// "a" to "aa" pressed again and again doubles the text each time, each press one pass, until
// the press whose result would pass the limit is refused.
TEST(MaxResultBytes, BasicReplaceGrowsToTheLimitPressByPress) {
    const test::FixedMemoryBudget budget(40 << 14);
    DialogRun run(BasicReplaceDialog(), Text(40, 'a'));
    run.services.memory = &budget;
    ASSERT_TRUE(run.Apply({"编辑框1=a", "编辑框2=aa"}));
    int presses = 0;
    while (run.editor.Messages().empty() && presses < 40) {
        run.Press();
        ++presses;
    }
    EXPECT_EQ(presses, 15);
    EXPECT_EQ(run.editor.ReadText(), Text(40 << 14, 'a'));
    EXPECT_EQ(run.editor.ChangeNotifications(), 14);
}

}  // namespace
}  // namespace velmor
