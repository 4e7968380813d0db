#include "core/DialogFields.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/MemoryEditor.h"

namespace velmor {
namespace {

// A small dialog with one control of each kind whose handlers log what ran, so the tests can
// see which user action reached which handler.
struct LoggingDialog {
    std::vector<std::string> log;
    DialogDefinition definition;

    LoggingDialog() {
        definition.title = "test";
        definition.createControls = [](DialogFields& fields) {
            fields.Add("编辑框1", ControlKind::EditBox).text = "5";
            fields.Add("复选框1", ControlKind::CheckBox).checked = true;
            Control& first = fields.Add("单选框_甲", ControlKind::RadioButton);
            first.group = "a";
            first.checked = true;
            fields.Add("单选框_乙", ControlKind::RadioButton).group = "a";
            Control& other = fields.Add("单选框_丙", ControlKind::RadioButton);
            other.group = "b";
            other.checked = true;
            Control& list = fields.Add("组合框1", ControlKind::DropDown);
            list.items = {"one", "two"};
            list.currentIndex = 0;
            fields.Add("列表框1", ControlKind::ListBox);
            fields.Add("列表1", ControlKind::ListView).rows = {{"r0"}, {"r1"}};
            fields.Add("按钮1", ControlKind::Button);
            fields.Add("按钮_关", ControlKind::Button).enabled = false;
            fields.Add("标签1", ControlKind::Label);
        };
        definition.onOpen = [this](DialogFields&, CommandContext&) { log.push_back("open"); };
        definition.onChange["编辑框1"] = [this](DialogFields& fields, CommandContext&) {
            log.push_back("change " + fields.TextOf("编辑框1"));
        };
        definition.onChange["组合框1"] = [this](DialogFields& fields, CommandContext&) {
            log.push_back("change " + std::to_string(fields.At("组合框1").currentIndex));
        };
        definition.onClick["复选框1"] = [this](DialogFields&, CommandContext&) {
            log.push_back("click box");
        };
        // Choosing 乙 disables the edit box, as dialogs do with fields a mode does not use.
        definition.onClick["单选框_乙"] = [this](DialogFields& fields, CommandContext&) {
            log.push_back("click 乙");
            fields.At("编辑框1").enabled = false;
        };
        definition.onPress["按钮1"] = [this](DialogFields& fields, CommandContext& context) {
            log.push_back("press");
            context.editor.ReplaceText(context.editor.ReadText() + fields.TextOf("编辑框1"));
        };
        definition.actionButton = "按钮1";
    }
};

class DialogSessionTest : public ::testing::Test {
protected:
    MemoryEditor m_editor{"doc:"};
    Services m_services;
    CommandContext m_context{m_editor, m_services};
    LoggingDialog m_dialog;
};

TEST_F(DialogSessionTest, OpensWithDefaultsAndRunsOpenHandler) {
    DialogSession session(m_dialog.definition, m_context);
    EXPECT_EQ(m_dialog.log, std::vector<std::string>{"open"});
    EXPECT_EQ(session.Fields().TextOf("编辑框1"), "5");
    EXPECT_TRUE(session.Fields().IsChecked("单选框_甲"));
    EXPECT_EQ(session.Fields().Controls().size(), 11u);
}

TEST_F(DialogSessionTest, EditTextRunsChangeHandlerAndPressSeesIt) {
    DialogSession session(m_dialog.definition, m_context);
    ASSERT_TRUE(session.SetEditText("编辑框1", "x"));
    ASSERT_TRUE(session.Press("按钮1"));
    EXPECT_EQ(m_dialog.log, (std::vector<std::string>{"open", "change x", "press"}));
    EXPECT_EQ(m_editor.ReadText(), "doc:x");
}

TEST_F(DialogSessionTest, ActionsOnMissingWrongKindOrDisabledControlsChangeNothing) {
    DialogSession session(m_dialog.definition, m_context);
    EXPECT_FALSE(session.SetEditText("编辑框9", "x"));
    EXPECT_FALSE(session.SetEditText("复选框1", "x"));
    EXPECT_FALSE(session.SetChecked("编辑框1", false));
    EXPECT_FALSE(session.ClickRadio("复选框1"));
    EXPECT_FALSE(session.SelectDropDownItem("编辑框1", "one"));
    EXPECT_FALSE(session.AppendListItem("列表1", "x"));
    EXPECT_FALSE(session.SelectRow("组合框1", 0));
    EXPECT_FALSE(session.Press("标签1"));
    EXPECT_FALSE(session.Press("按钮_关"));
    EXPECT_EQ(m_dialog.log, std::vector<std::string>{"open"});
    EXPECT_EQ(session.Fields().TextOf("编辑框1"), "5");
    EXPECT_TRUE(session.Fields().IsChecked("复选框1"));
    EXPECT_EQ(m_editor.ChangeNotifications(), 0);
}

TEST_F(DialogSessionTest, CheckBoxHandlerRunsOnlyWhenTheStateChanges) {
    DialogSession session(m_dialog.definition, m_context);
    ASSERT_TRUE(session.SetChecked("复选框1", true));
    ASSERT_TRUE(session.SetChecked("复选框1", false));
    EXPECT_FALSE(session.Fields().IsChecked("复选框1"));
    EXPECT_EQ(m_dialog.log, (std::vector<std::string>{"open", "click box"}));
}

TEST_F(DialogSessionTest, RadioClickChecksOneOfItsGroupAndMayDisableOthers) {
    DialogSession session(m_dialog.definition, m_context);
    ASSERT_TRUE(session.ClickRadio("单选框_乙"));
    const DialogFields& fields = session.Fields();
    EXPECT_FALSE(fields.IsChecked("单选框_甲"));
    EXPECT_TRUE(fields.IsChecked("单选框_乙"));
    EXPECT_TRUE(fields.IsChecked("单选框_丙")) << "another group is left alone";
    EXPECT_FALSE(session.SetEditText("编辑框1", "x")) << "the click disabled the edit box";

    ASSERT_TRUE(session.ClickRadio("单选框_乙"));
    EXPECT_EQ(m_dialog.log, (std::vector<std::string>{"open", "click 乙", "click 乙"}))
        << "a click on the checked button still runs its handler";
}

TEST_F(DialogSessionTest, DropDownSelectsOnlyItsOwnItems) {
    DialogSession session(m_dialog.definition, m_context);
    EXPECT_FALSE(session.SelectDropDownItem("组合框1", "three"));
    ASSERT_TRUE(session.SelectDropDownItem("组合框1", "two"));
    EXPECT_EQ(session.Fields().At("组合框1").currentIndex, 1);
    EXPECT_EQ(session.Fields().TextOf("组合框1"), "two");
    EXPECT_EQ(m_dialog.log, (std::vector<std::string>{"open", "change 1"}));
}

TEST_F(DialogSessionTest, ListItemsAppendInOrderAndRowsSelectWithinRange) {
    DialogSession session(m_dialog.definition, m_context);
    ASSERT_TRUE(session.AppendListItem("列表框1", "a.txt"));
    ASSERT_TRUE(session.AppendListItem("列表框1", "a.txt"));
    ASSERT_TRUE(session.AppendListItem("列表框1", "b.txt"));
    EXPECT_EQ(session.Fields().At("列表框1").items, (std::vector<Text>{"a.txt", "a.txt", "b.txt"}));
    EXPECT_TRUE(session.SelectRow("列表框1", 2));
    EXPECT_EQ(session.Fields().At("列表框1").currentIndex, 2);
    EXPECT_FALSE(session.SelectRow("列表框1", 3));
    EXPECT_FALSE(session.SelectRow("列表1", -1));
    EXPECT_TRUE(session.SelectRow("列表1", 1));
    EXPECT_EQ(session.Fields().At("列表1").currentIndex, 1);
}

TEST(DialogFieldsTest, NumberOfReadsLikeToInt) {
    DialogFields fields;
    struct Row {
        Text text;
        int number;
    };
    const Row rows[] = {
        {"42", 42}, {"  -7x", -7}, {"", 0}, {"abc", 0}, {"\xA3\xB1\xA3\xB2", 12},
    };
    Control& box = fields.Add("编辑框1", ControlKind::EditBox);
    for (const Row& row : rows) {
        box.text = row.text;
        EXPECT_EQ(fields.NumberOf("编辑框1"), row.number) << row.text;
    }
}

TEST(DialogFieldsTest, FindsByNameAndAtRefusesUnknownNames) {
    DialogFields fields;
    fields.Add("编辑框1", ControlKind::EditBox);
    fields.Add("编辑框2", ControlKind::EditBox).text = "b";
    EXPECT_EQ(fields.Find("编辑框2")->text, "b");
    EXPECT_EQ(fields.Find("编辑框3"), nullptr);
    EXPECT_THROW(fields.At("编辑框3"), std::out_of_range);
}

}  // namespace
}  // namespace velmor
