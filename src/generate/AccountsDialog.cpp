#include <memory>

#include "generate/Accounts.h"
#include "generate/DialogControls.h"
#include "generate/GenerateDialogs.h"
#include "generate/GeneratedText.h"

namespace velmor {

namespace {

const char* const kAccountGroup = "账号";
const char* const kPasswordGroup = "密码";

StringRule AccountRule(const DialogFields& fields) {
    StringRule rule;
    rule.length =
        fields.IsChecked("单选框1") ? StringRule::Length::Fixed : StringRule::Length::Range;
    rule.fixedLength = fields.NumberOf("编辑框1");
    rule.shortest = fields.NumberOf("编辑框2");
    rule.longest = fields.NumberOf("编辑框3");
    rule.letterFirst = fields.IsChecked("选择框2");
    return rule;
}

StringRule PasswordRule(const DialogFields& fields) {
    StringRule rule;
    rule.length = fields.IsChecked("单选框4")   ? StringRule::Length::Fixed
                  : fields.IsChecked("单选框5") ? StringRule::Length::Content
                                                : StringRule::Length::Range;
    rule.fixedLength = fields.NumberOf("编辑框6");
    rule.content = fields.TextOf("编辑框7");
    rule.shortest = fields.NumberOf("编辑框5");
    rule.longest = fields.NumberOf("编辑框4");
    rule.letterFirst = fields.IsChecked("选择框1");
    return rule;
}

// Where the tick is the real clock the draws come from the system's cryptographic source:
// the generator's seeds could be guessed from roughly when the passwords were made.
std::unique_ptr<AccountDraws> ChooseDraws(const Services& services) {
    if (services.secureRandom != nullptr) {
        return std::make_unique<SecureDraws>(*services.secureRandom);
    }
    if (services.random != nullptr) {
        return std::make_unique<GeneratorDraws>(*services.random);
    }
    return nullptr;
}

void Generate(DialogFields& fields, CommandContext& context) {
    const std::unique_ptr<AccountDraws> draws = ChooseDraws(context.services);
    if (draws == nullptr) {
        return;
    }
    AccountsRequest request;
    request.accounts = AccountRule(fields);
    request.passwords = PasswordRule(fields);
    request.count = fields.NumberOf("编辑框8");
    WriteGeneratedText(context, GenerateAccounts(request, *draws));
}

void UpdateFields(DialogFields& fields, CommandContext&) {
    UpdateAccountFields(fields);
}

DialogDefinition MakeDefinition() {
    DialogDefinition definition;
    definition.title = "生成账号密码";
    definition.createControls = [](DialogFields& fields) {
        AddGroupBox(fields, "分组框1");
        AddLabel(fields, "标签1", "账号");
        AddRadioButton(fields, "单选框1", "固定长度：", kAccountGroup, false);
        AddEditBox(fields, "编辑框1", {}, false).digitsOnly = true;
        AddRadioButton(fields, "单选框2", "长度范围  最短：", kAccountGroup, true);
        AddEditBox(fields, "编辑框2").digitsOnly = true;
        AddLabel(fields, "标签3", "最长：");
        AddEditBox(fields, "编辑框3").digitsOnly = true;
        AddCheckBox(fields, "选择框2", "首位不为数字", false);
        AddGroupBox(fields, "分组框2");
        AddLabel(fields, "标签2", "密码");
        AddRadioButton(fields, "单选框4", "固定长度：", kPasswordGroup, false);
        AddEditBox(fields, "编辑框6", {}, false).digitsOnly = true;
        AddRadioButton(fields, "单选框5", "固定内容：", kPasswordGroup, false);
        AddEditBox(fields, "编辑框7", {}, false);
        AddRadioButton(fields, "单选框3", "长度范围  最短：", kPasswordGroup, true);
        AddEditBox(fields, "编辑框5").digitsOnly = true;
        AddLabel(fields, "标签4", "最长：");
        AddEditBox(fields, "编辑框4").digitsOnly = true;
        AddCheckBox(fields, "选择框1", "首位不为数字", false);
        AddGroupBox(fields, "分组框3", "生成数量");
        AddEditBox(fields, "编辑框8", "10").digitsOnly = true;
        AddButton(fields, "按钮1", "生成");
    };
    definition.onOpen = UpdateFields;
    for (const char* radio : {"单选框1", "单选框2", "单选框3", "单选框4", "单选框5"}) {
        definition.onClick[radio] = UpdateFields;
    }
    definition.onPress["按钮1"] = Generate;
    definition.actionButton = "按钮1";
    return definition;
}

}  // namespace

void UpdateAccountFields(DialogFields& fields) {
    const struct {
        const char* radio;
        const char* field;
    } pairs[] = {
        {"单选框1", "编辑框1"}, {"单选框2", "编辑框2"}, {"单选框2", "编辑框3"},
        {"单选框4", "编辑框6"}, {"单选框5", "编辑框7"}, {"单选框3", "编辑框4"},
        {"单选框3", "编辑框5"},
    };
    for (const auto& pair : pairs) {
        fields.At(pair.field).enabled = fields.IsChecked(pair.radio);
    }
}

const DialogDefinition& AccountsDialog() {
    static const DialogDefinition definition = MakeDefinition();
    return definition;
}

}  // namespace velmor
