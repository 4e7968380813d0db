#include <gtest/gtest.h>

#include <climits>

#include "ParagraphDialogRun.h"
#include "paragraph/ParagraphCommands.h"

namespace velmor {
namespace {

struct FamilyMember {
    const char* name;
    const DialogDefinition& dialog;
    const char* oddButton;
    bool hasEvery;
    std::vector<std::string> busy;
};

std::vector<FamilyMember> Family() {
    return {
        {"删除空格",
         DeleteSpacesDialog(),
         "单选框_奇数",
         true,
         {"编辑框1", "单选框_段首", "单选框_段尾", "单选框_段首尾", "单选框_指定", "单选框_倍数",
          "单选框_奇数", "单选框_每段"}},
        {"插入序号文本",
         InsertNumberedTextDialog(),
         "单选框_奇数段",
         true,
         {"编辑框1", "单选框_段首", "单选框_段尾", "单选框_指定", "单选框_倍数", "编辑框_文本左",
          "编辑框_文本右", "编辑框_起始号", "选择框1"}},
        {"插入固定文本",
         InsertFixedTextDialog(),
         "单选框_奇数段",
         true,
         {"编辑框1", "编辑框_文本", "单选框_段首", "单选框_段尾", "单选框_指定", "单选框_倍数"}},
        {"插入整段",
         InsertWholeParagraphDialog(),
         "单选框_奇数段",
         true,
         {"编辑框1", "编辑框_文本", "单选框_指定", "单选框_倍数", "单选框_段前", "单选框_段后"}},
        {"删除/保留段",
         DeleteKeepParagraphsDialog(),
         "单选框_奇数",
         false,
         {"编辑框1", "单选框_指定", "单选框_倍数", "单选框_删除", "单选框_保留"}},
        {"段部分",
         ParagraphPartDialog(),
         "单选框_奇数段",
         true,
         {"单选框_保留", "单选框_删除", "单选框_首", "单选框_尾", "编辑框_长度"}},
    };
}

bool Enabled(DialogRun& run, const std::string& name) {
    return run.session.Fields().At(name).enabled;
}

TEST(ParagraphFamily, OpensWithListedCheckedAndAnEmptyEnabledField) {
    for (const FamilyMember& member : Family()) {
        DialogRun run(member.dialog, "");
        const DialogFields& fields = run.session.Fields();
        EXPECT_EQ(fields.Title(), member.name);
        EXPECT_TRUE(fields.IsChecked("单选框_指定")) << member.name;
        EXPECT_TRUE(fields.At("编辑框1").enabled) << member.name;
        EXPECT_TRUE(fields.TextOf("编辑框1").empty()) << member.name;
        EXPECT_EQ(fields.Find("单选框_每段") != nullptr, member.hasEvery) << member.name;
        EXPECT_NE(fields.Find(member.oddButton), nullptr) << member.name;
    }
}

TEST(ParagraphFamily, ModeButtonsGovernTheNumberField) {
    for (const FamilyMember& member : Family()) {
        std::vector<std::string> emptying = {member.oddButton};
        if (member.hasEvery) {
            emptying.push_back("单选框_每段");
        }
        for (const std::string& button : emptying) {
            DialogRun run(member.dialog, "");
            ASSERT_TRUE(run.Apply({"编辑框1=3", button}));
            EXPECT_FALSE(Enabled(run, "编辑框1")) << member.name << button;
            EXPECT_TRUE(run.session.Fields().TextOf("编辑框1").empty()) << member.name << button;
            ASSERT_TRUE(run.Apply({"单选框_倍数"}));
            EXPECT_TRUE(Enabled(run, "编辑框1")) << member.name << button;
            EXPECT_TRUE(run.session.Fields().TextOf("编辑框1").empty()) << member.name << button;
            ASSERT_TRUE(run.Apply({"编辑框1=4", "单选框_指定"}));
            EXPECT_EQ(run.session.Fields().TextOf("编辑框1"), "4") << member.name << button;
        }
    }
}

TEST(ParagraphFamily, AfterARunTheBusyControlsAreBackAndTheFieldIsRewritten) {
    for (const FamilyMember& member : Family()) {
        DialogRun listed(member.dialog, "a\r\nb\r\nc");
        ASSERT_TRUE(listed.Apply({"编辑框1= 1\xA3\xAC 3 ,5"}));
        listed.Press();
        EXPECT_EQ(listed.session.Fields().TextOf("编辑框1"), "1,3,5") << member.name;
        for (const std::string& name : member.busy) {
            EXPECT_TRUE(Enabled(listed, name)) << member.name << " " << name;
        }
        DialogRun odd(member.dialog, "a\r\nb\r\nc");
        ASSERT_TRUE(odd.Apply({member.oddButton}));
        odd.Press();
        EXPECT_FALSE(Enabled(odd, "编辑框1")) << member.name;
        EXPECT_TRUE(Enabled(odd, "单选框_指定")) << member.name;
        EXPECT_TRUE(Enabled(odd, "按钮1")) << member.name;
    }
}

TEST(DeleteSpaces, EveryDisablesThreePartButtonsNotAll) {
    const std::vector<std::string> parts = {"单选框_段首", "单选框_段尾", "单选框_段首尾"};
    DialogRun run(DeleteSpacesDialog(), " a ");
    ASSERT_TRUE(run.Apply({"单选框_每段"}));
    for (const std::string& part : parts) {
        EXPECT_FALSE(Enabled(run, part)) << part;
    }
    EXPECT_TRUE(Enabled(run, "单选框_全部"));
    run.Press();
    for (const std::string& part : parts) {
        EXPECT_FALSE(Enabled(run, part)) << "after a run " << part;
    }
    for (const char* mode : {"单选框_奇数", "单选框_倍数", "单选框_指定"}) {
        DialogRun again(DeleteSpacesDialog(), "");
        ASSERT_TRUE(again.Apply({"单选框_每段", mode}));
        for (const std::string& part : parts) {
            EXPECT_TRUE(Enabled(again, part)) << mode << " " << part;
        }
    }
}

TEST(ParagraphFamily, AnyNumberFieldRunsWithoutHarm) {
    Text many;
    for (int k = 100000; k > 0; --k) {
        many += std::to_string(k) + ",";
    }
    const std::vector<std::string> fields = {many,
                                             ",,,",
                                             "\xB0",
                                             "1\xB0",
                                             "\xA3\xB1\xA3\xB0",
                                             "+2",
                                             "-0",
                                             "99999999999999999999",
                                             "-2147483648",
                                             "\xA1\xA1\xA1\xA1",
                                             "2\xA3\xAC\xA3\xAC"
                                             "4"};
    for (const FamilyMember& member : Family()) {
        for (const char* mode : {"单选框_指定", "单选框_倍数"}) {
            for (const std::string& field : fields) {
                DialogRun run(member.dialog, "a\r\nb\r\nc\r\nd");
                ASSERT_TRUE(run.Apply({mode, "编辑框1=" + field}));
                run.Press();
                EXPECT_EQ(run.editor.ChangeNotifications(), 1) << member.name;
                DialogRun empty(member.dialog, "");
                ASSERT_TRUE(empty.Apply({mode, "编辑框1=" + field}));
                EXPECT_EQ(empty.Press(), "") << member.name;
            }
        }
    }
}

TEST(ParagraphFamily, ResultBeyondOneGibibyteIsRefused) {
    const Text document = [] {
        Text text;
        for (int k = 0; k < 600; ++k) {
            text += "p\r\n";
        }
        return text;
    }();
    const Text twoMegabytes(2 << 20, 't');
    struct Refused {
        const char* name;
        const DialogDefinition& dialog;
        std::vector<std::string> steps;
    };
    const Refused cases[] = {
        {"fixed text", InsertFixedTextDialog(), {"单选框_每段", "编辑框_文本=" + twoMegabytes}},
        {"whole paragraph",
         InsertWholeParagraphDialog(),
         {"单选框_每段", "编辑框_文本=" + twoMegabytes}},
        {"numbered text",
         InsertNumberedTextDialog(),
         {"单选框_每段", "编辑框_文本右=" + twoMegabytes}},
        {"indent", IndentParagraphsDialog(), {"编辑框1=" + std::to_string(INT_MAX)}},
    };
    for (const Refused& c : cases) {
        DialogRun run(c.dialog, document);
        ASSERT_TRUE(run.Apply(c.steps)) << c.name;
        EXPECT_EQ(run.Press(), document) << c.name;
        EXPECT_EQ(run.editor.ChangeNotifications(), 0) << c.name;
        ASSERT_EQ(run.editor.Messages().size(), 1u) << c.name;
        EXPECT_EQ(run.editor.Messages()[0].kind, MessageKind::Error) << c.name;
    }
}

}  // namespace
}  // namespace velmor
