#include "search/RegexDialog.h"

#include "core/LargeText.h"
#include "core/ResultSizeLimit.h"
#include "search/MatchTextReplace.h"
#include "search/RegexMatches.h"
#include "transform/PositionTimeCommands.h"

namespace velmor {

namespace {

constexpr const char* kFirstRadio = "单选框1";
constexpr const char* kExtractRadio = "单选框2";
constexpr const char* kPatternBox = "编辑框_正则";
constexpr const char* kReplacementLabel = "标签2";
constexpr const char* kReplacementBox = "编辑框2";
constexpr const char* kCaseBox = "选择框1";
constexpr const char* kActionButton = "按钮2";
constexpr const char* kRadioGroup = "分组框1";

struct ModeCaptions {
    const char* title;
    const char* firstRadio;
    const char* patternLabel;
    const char* replacementLabel;
};

ModeCaptions CaptionsOf(RegexDialogMode mode) {
    if (mode == RegexDialogMode::KeepPosition) {
        return {"保留指定位置", "删除", "起始位置：", "长度："};
    }
    return {"正则替换/提取", "替换", "正则表达式：", "替换为(P)："};
}

void Extract(CommandContext& context, const Text& text, const std::vector<RegexMatch>& matches) {
    const std::size_t maxResultBytes = MaxResultBytes(context.services);
    std::size_t size = 0;
    for (const RegexMatch& match : matches) {
        size += match.length + 2;
        if (size > maxResultBytes) {
            context.editor.ShowMessage(MessageKind::Error, kResultTooLargeMessage, kErrorTitle);
            return;
        }
    }
    Text lines;
    ReserveLargeText(lines, size);
    for (const RegexMatch& match : matches) {
        lines.append(text, match.position, match.length);
        lines += "\r\n";
    }
    context.editor.ReplaceText(std::move(lines));
}

void PressAction(DialogFields& fields, CommandContext& context) {
    const bool first = fields.IsChecked(kFirstRadio);
    if (RegexDialogModeOf(fields) == RegexDialogMode::KeepPosition) {
        context.editor.ReplaceText(KeepSpecifiedPosition(context.editor.LendText().Get(),
                                                         fields.NumberOf(kPatternBox),
                                                         fields.NumberOf(kReplacementBox), !first));
        return;
    }
    RunRegexAction(context, fields.TextOf(kPatternBox), fields.TextOf(kReplacementBox),
                   fields.IsChecked(kCaseBox), !first);
}

void ClickRadio(DialogFields& fields, const char* radio) {
    fields.At(kActionButton).caption = fields.At(radio).caption;
    if (RegexDialogModeOf(fields) == RegexDialogMode::RegexReplace) {
        const bool replacing = radio == std::string_view(kFirstRadio);
        fields.At(kReplacementLabel).enabled = replacing;
        fields.At(kReplacementBox).enabled = replacing;
    }
}

DialogDefinition MakeRegexDialog(RegexDialogMode mode) {
    DialogDefinition definition;
    definition.title = CaptionsOf(mode).title;
    definition.createControls = [](DialogFields& fields) {
        fields.Add(kRadioGroup, ControlKind::GroupBox);
        fields.Add(kFirstRadio, ControlKind::RadioButton).group = kRadioGroup;
        fields.Add(kExtractRadio, ControlKind::RadioButton).group = kRadioGroup;
        fields.Add("标签1", ControlKind::Label);
        fields.Add(kPatternBox, ControlKind::EditBox);
        fields.Add(kReplacementLabel, ControlKind::Label);
        fields.Add(kReplacementBox, ControlKind::EditBox);
        fields.Add(kCaseBox, ControlKind::CheckBox).caption = "是否区分大小写";
        fields.Add(kActionButton, ControlKind::Button);
    };
    definition.onOpen = [mode](DialogFields& fields, CommandContext&) {
        ApplyRegexDialogMode(fields, mode);
    };
    definition.onClick[kFirstRadio] = [](DialogFields& fields, CommandContext&) {
        ClickRadio(fields, kFirstRadio);
    };
    definition.onClick[kExtractRadio] = [](DialogFields& fields, CommandContext&) {
        ClickRadio(fields, kExtractRadio);
    };
    definition.onPress[kActionButton] = PressAction;
    definition.actionButton = kActionButton;
    return definition;
}

}  // namespace

void RunRegexAction(CommandContext& context, const Text& pattern, const Text& replacement,
                    bool caseSensitive, bool extract) {
    const TextLease lease = context.editor.LendText();
    const Text& text = lease.Get();
    std::vector<RegexMatch> matches = FindAllMatches(text, pattern, caseSensitive);
    if (extract) {
        Extract(context, text, matches);
        return;
    }
    std::vector<std::string_view> matchTexts;
    matchTexts.reserve(matches.size());
    for (const RegexMatch& match : matches) {
        matchTexts.push_back(std::string_view(text).substr(match.position, match.length));
    }
    // Millions of matches take room of their own; the replacement needs only their texts.
    std::vector<RegexMatch>().swap(matches);
    std::optional<Text> result = ReplaceMatchTexts(text, matchTexts, replacement, caseSensitive,
                                                   MaxResultBytes(context.services));
    WriteResultOrRefuse(context.editor, std::move(result));
}

void ApplyRegexDialogMode(DialogFields& fields, RegexDialogMode mode) {
    const ModeCaptions captions = CaptionsOf(mode);
    fields.SetTitle(captions.title);
    fields.At(kFirstRadio).caption = captions.firstRadio;
    fields.At(kFirstRadio).checked = true;
    fields.At(kExtractRadio).caption = "提取";
    fields.At(kExtractRadio).checked = false;
    fields.At("标签1").caption = captions.patternLabel;
    fields.At(kReplacementLabel).caption = captions.replacementLabel;
    fields.At(kReplacementLabel).enabled = true;
    fields.At(kReplacementBox).enabled = true;
    fields.At(kCaseBox).visible = mode == RegexDialogMode::RegexReplace;
    fields.At(kPatternBox).digitsOnly = mode == RegexDialogMode::KeepPosition;
    fields.At(kReplacementBox).digitsOnly = mode == RegexDialogMode::KeepPosition;
    fields.At(kActionButton).caption = captions.firstRadio;
}

RegexDialogMode RegexDialogModeOf(const DialogFields& fields) {
    return fields.At(kCaseBox).visible ? RegexDialogMode::RegexReplace
                                       : RegexDialogMode::KeepPosition;
}

const DialogDefinition& RegexDialog(RegexDialogMode mode) {
    static const DialogDefinition regex = MakeRegexDialog(RegexDialogMode::RegexReplace);
    static const DialogDefinition keepPosition = MakeRegexDialog(RegexDialogMode::KeepPosition);
    return mode == RegexDialogMode::KeepPosition ? keepPosition : regex;
}

}  // namespace velmor
