#include "core/CodePage936.h"
#include "core/Numbers.h"
#include "generate/DialogControls.h"
#include "generate/GenerateDialogs.h"
#include "generate/GeneratedText.h"
#include "generate/VariableText.h"

namespace velmor {

namespace {

const char* const kList = "超级列表框1";
const char* const kNameField = "编辑框_名称";
const char* const kStartField = "编辑框_起始";
const char* const kEndField = "编辑框_到达";
const char* const kPaddingBox = "选择框1";
const char* const kPaddingField = "编辑框_补齐";
const char* const kWarningTitle = "警告！";

Control& List(DialogFields& fields) {
    return fields.At(kList);
}

// The end a variable starting at the start field's value gets: it keeps the first row's span.
Text EndForStartField(DialogFields& fields) {
    return IntegerText(std::int64_t{fields.NumberOf(kStartField)} +
                       VariableSpan(List(fields).rows));
}

Text PaddingForNewRow(const DialogFields& fields) {
    return fields.IsChecked(kPaddingBox) ? fields.TextOf(kPaddingField) : Text("0");
}

TextList* SelectedRow(DialogFields& fields) {
    Control& list = List(fields);
    if (list.currentIndex < 0 || list.currentIndex >= static_cast<int>(list.rows.size())) {
        return nullptr;
    }
    return &list.rows[static_cast<std::size_t>(list.currentIndex)];
}

void ResetFields(DialogFields& fields) {
    fields.At(kEndField).enabled = true;
    fields.At(kNameField).text = "{@%0}";
    fields.At(kStartField).text = "1";
    fields.At(kEndField).text = "50";
    fields.At(kPaddingField).text = "3";
}

void AddVariable(DialogFields& fields, CommandContext& context) {
    const Text& name = fields.TextOf(kNameField);
    if (name.size() < 3) {
        context.editor.ShowMessage(MessageKind::Error, "变量名称太短！必须大于3个字节！",
                                   kWarningTitle);
        return;
    }
    Control& list = List(fields);
    for (const TextList& row : list.rows) {
        if (row[kVariableName] == name) {
            context.editor.ShowMessage(MessageKind::Error, "变量名称重复！请使用不同的变量的名称！",
                                       kWarningTitle);
            return;
        }
    }
    TextList row(4);
    row[kVariableName] = name;
    row[kVariableStart] = fields.TextOf(kStartField);
    if (list.rows.empty()) {
        row[kVariableEnd] = fields.TextOf(kEndField);
        fields.At(kEndField).enabled = false;
    } else {
        row[kVariableEnd] = EndForStartField(fields);
    }
    row[kVariablePadding] = PaddingForNewRow(fields);
    list.rows.push_back(std::move(row));
    fields.At(kEndField).text = list.rows.front()[kVariableEnd];
    fields.At(kNameField).text = "{@%" + ToText(static_cast<int>(list.rows.size())) + "}";
}

void ChangeVariable(DialogFields& fields, CommandContext&) {
    TextList* row = SelectedRow(fields);
    if (row == nullptr) {
        return;
    }
    // The span is taken before the change, so changing the first row moves its end along.
    const Text end = EndForStartField(fields);
    (*row)[kVariableName] = fields.TextOf(kNameField);
    (*row)[kVariableStart] = fields.TextOf(kStartField);
    (*row)[kVariableEnd] = end;
    (*row)[kVariablePadding] = PaddingForNewRow(fields);
}

void DeleteVariable(DialogFields& fields, CommandContext&) {
    Control& list = List(fields);
    if (SelectedRow(fields) != nullptr) {
        list.rows.erase(list.rows.begin() + list.currentIndex);
        list.currentIndex = -1;
    }
    if (list.rows.empty()) {
        ResetFields(fields);
        return;
    }
    fields.At(kEndField).enabled = false;
    fields.At(kEndField).text = EndForStartField(fields);
}

void ClearVariables(DialogFields& fields, CommandContext&) {
    Control& list = List(fields);
    list.rows.clear();
    list.currentIndex = -1;
    ResetFields(fields);
}

void ShowSelectedVariable(DialogFields& fields, CommandContext&) {
    const TextList* row = SelectedRow(fields);
    fields.At(kNameField).text = row ? (*row)[kVariableName] : Text();
    fields.At(kStartField).text = row ? (*row)[kVariableStart] : Text();
    fields.At(kEndField).text = row ? (*row)[kVariableEnd] : Text();
    fields.At(kPaddingField).text = row ? (*row)[kVariablePadding] : Text();
}

void PreviewEnd(DialogFields& fields, CommandContext&) {
    fields.At(kEndField).text = EndForStartField(fields);
}

void Generate(DialogFields& fields, CommandContext& context) {
    WriteGeneratedText(context,
                       GenerateVariableText(fields.TextOf("编辑框_文本"), List(fields).rows));
}

DialogDefinition MakeDefinition() {
    DialogDefinition definition;
    definition.title = "变量文本：";
    definition.createControls = [](DialogFields& fields) {
        AddEditBox(fields, "编辑框_文本", Utf8ToGbk("显示图片 (图片框{@%0}.图片，{@%0})\r\n"));
        fields.Add(kList, ControlKind::ListView).columns = {"变量名", "变量起始值", "变量到达值",
                                                            "变量补齐"};
        AddEditBox(fields, kNameField, "{@%0}");
        // Values may count below zero; a negative padding width pads nothing, as 0 does.
        for (const auto& [name, text] : {std::pair{kStartField, "1"}, std::pair{kEndField, "10"}}) {
            Control& box = AddEditBox(fields, name, text);
            box.digitsOnly = true;
            box.minusAllowed = true;
        }
        AddCheckBox(fields, kPaddingBox, "", false);
        AddEditBox(fields, kPaddingField, "3").digitsOnly = true;
        AddButton(fields, "按钮1", "生成");
        AddButton(fields, "按钮_添加", "添加");
        AddButton(fields, "按钮_修改", "修改");
        AddButton(fields, "按钮_删除", "删除");
        AddButton(fields, "按钮_清空", "清空");
    };
    definition.onChange[kList] = ShowSelectedVariable;
    definition.onChange[kStartField] = PreviewEnd;
    definition.onPress["按钮_添加"] = AddVariable;
    definition.onPress["按钮_修改"] = ChangeVariable;
    definition.onPress["按钮_删除"] = DeleteVariable;
    definition.onPress["按钮_清空"] = ClearVariables;
    definition.onPress["按钮1"] = Generate;
    definition.actionButton = "按钮1";
    return definition;
}

}  // namespace

const DialogDefinition& VariableTextDialog() {
    static const DialogDefinition definition = MakeDefinition();
    return definition;
}

}  // namespace velmor
