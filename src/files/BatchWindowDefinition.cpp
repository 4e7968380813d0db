#include <array>

#include "files/BatchWindow.h"
#include "files/FileCommands.h"

namespace velmor {

namespace {

Control& AddCaptioned(DialogFields& fields, std::string name, ControlKind kind,
                      std::string caption) {
    Control& control = fields.Add(std::move(name), kind);
    control.caption = std::move(caption);
    return control;
}

Control& AddRadio(DialogFields& fields, std::string name, std::string caption, std::string group,
                  bool checked) {
    Control& radio =
        AddCaptioned(fields, std::move(name), ControlKind::RadioButton, std::move(caption));
    radio.group = std::move(group);
    radio.checked = checked;
    return radio;
}

void AddFileList(DialogFields& fields, const char* groupBox, BatchTab tab) {
    const FileListNames names = FileListOf(tab);
    AddCaptioned(fields, groupBox, ControlKind::GroupBox, "文件列表");
    fields.Add(names.list, ControlKind::ListBox);
    AddCaptioned(fields, names.add, ControlKind::Button, "添加");
    AddCaptioned(fields, names.clear, ControlKind::Button, "清空");
    AddCaptioned(fields, names.remove, ControlKind::Button, "删除");
}

void CreateControls(DialogFields& fields) {
    Control& tabs = fields.Add(kBatchTabControl, ControlKind::Tab);
    // A tab control's page captions, in page order.
    tabs.columns = {"文件合并/拆分", "增/删_文件头/尾", "编码转换"};
    tabs.currentIndex = 0;

    AddFileList(fields, "分组框2", BatchTab::MergeSplit);
    AddCaptioned(fields, "分组框1", ControlKind::GroupBox, "合并/拆分符号");
    AddRadio(fields, "单选框1", "换行符", "separator", true);
    AddRadio(fields, "单选框2", "自定义：", "separator", false);
    fields.Add("编辑框_自定义1", ControlKind::EditBox);
    fields.Add("编辑框_目录1", ControlKind::EditBox);
    AddCaptioned(fields, "按钮5", ControlKind::Button, "选择保存目录");
    AddCaptioned(fields, "按钮_合并", ControlKind::Button, "合并");
    AddCaptioned(fields, "按钮_拆分", ControlKind::Button, "拆分");

    AddFileList(fields, "分组框3", BatchTab::HeadTail);
    AddCaptioned(fields, "分组框5", ControlKind::GroupBox, "增加/删除");
    AddRadio(fields, "单选框_增加", "增加", "action", true);
    AddRadio(fields, "单选框_删除", "删除", "action", false);
    AddCaptioned(fields, "分组框6", ControlKind::GroupBox, "文件头/尾");
    AddCaptioned(fields, "选择框_头", ControlKind::CheckBox, "文件头");
    AddCaptioned(fields, "选择框_尾", ControlKind::CheckBox, "文件尾");
    AddCaptioned(fields, "标签1", ControlKind::Label, "关键字：");
    fields.Add("编辑框_关键字", ControlKind::EditBox);
    AddCaptioned(fields, "选择框_备份", ControlKind::CheckBox, "将原文件备份到*.bak");
    AddCaptioned(fields, "按钮_执行", ControlKind::Button, "执行");

    AddFileList(fields, "分组框4", BatchTab::Encoding);
    AddCaptioned(fields, "分组框7", ControlKind::GroupBox, "转换方向");
    AddRadio(fields, "单选框_到UTF8", "GBK → UTF-8", "direction", true);
    AddRadio(fields, "单选框_到GBK", "UTF-8 → GBK", "direction", false);
    AddCaptioned(fields, "选择框_BOM", ControlKind::CheckBox, "写入BOM");
    AddCaptioned(fields, "选择框_备份3", ControlKind::CheckBox, "将原文件备份到*.bak");
    AddCaptioned(fields, "按钮_转换", ControlKind::Button, "转换");
}

void ClearList(DialogFields& fields, const std::string& list) {
    Control& control = fields.At(list);
    control.items.clear();
    control.currentIndex = -1;
}

void RemoveSelected(DialogFields& fields, const std::string& list) {
    Control& control = fields.At(list);
    const int selected = control.currentIndex;
    if (selected < 0 || selected >= static_cast<int>(control.items.size())) {
        return;
    }
    control.items.erase(control.items.begin() + selected);
    control.currentIndex = -1;
}

// The byte-order mark is written only on the way to UTF-8.
void UpdateByteOrderMark(DialogFields& fields, CommandContext&) {
    fields.At("选择框_BOM").enabled = fields.IsChecked("单选框_到UTF8");
}

DialogDefinition MakeDefinition(BatchTab tab) {
    DialogDefinition definition;
    definition.title = kBatchWindowTitle;
    definition.createControls = [tab](DialogFields& fields) {
        CreateControls(fields);
        fields.At(kBatchTabControl).currentIndex = static_cast<int>(tab);
    };
    for (BatchTab listTab : {BatchTab::MergeSplit, BatchTab::HeadTail, BatchTab::Encoding}) {
        const FileListNames names = FileListOf(listTab);
        definition.onPress[names.clear] =
            [list = names.list](DialogFields& fields, CommandContext&) { ClearList(fields, list); };
        definition.onPress[names.remove] = [list = names.list](DialogFields& fields,
                                                               CommandContext&) {
            RemoveSelected(fields, list);
        };
    }
    definition.onPress["按钮_合并"] = MergeFiles;
    definition.onPress["按钮_拆分"] = SplitFiles;
    definition.onPress["按钮_执行"] = EditHeadTail;
    definition.onPress["按钮_转换"] = ConvertFileEncodings;
    definition.onClick["单选框_到UTF8"] = UpdateByteOrderMark;
    definition.onClick["单选框_到GBK"] = UpdateByteOrderMark;
    switch (tab) {
        case BatchTab::MergeSplit:
            break;  // "合并" and "拆分" both write files: the runner needs a press= step
        case BatchTab::HeadTail:
            definition.actionButton = "按钮_执行";
            break;
        case BatchTab::Encoding:
            definition.actionButton = "按钮_转换";
            break;
    }
    return definition;
}

}  // namespace

const DialogDefinition& BatchWindowDefinition(BatchTab tab) {
    static const std::array<DialogDefinition, 3> definitions = {
        MakeDefinition(BatchTab::MergeSplit), MakeDefinition(BatchTab::HeadTail),
        MakeDefinition(BatchTab::Encoding)};
    return definitions[static_cast<std::size_t>(tab)];
}

const char* BatchTabCommand(BatchTab tab) {
    static const char* const commands[] = {"合并/拆分", "增/删 文件头/尾", "编码转换"};
    return commands[static_cast<int>(tab)];
}

FileListNames FileListOf(BatchTab tab) {
    const std::string n = std::to_string(static_cast<int>(tab) + 1);
    return {"列表框" + n, "按钮_添加" + n, "按钮_清空" + n, "按钮_删除" + n};
}

}  // namespace velmor
