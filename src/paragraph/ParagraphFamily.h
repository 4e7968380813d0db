#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/DialogFields.h"
#include "paragraph/ParagraphOutput.h"
#include "paragraph/ParagraphSelection.h"

namespace velmor {

// What one dialog of the paragraph family declares; everything else it shares: the number
// field 编辑框1, the mode buttons of "指定段/倍数段" with their click rules, and the common run.
struct ParagraphFamilyDialog {
    std::string numberGroupCaption;  // the caption of the number field's group box
    std::string oddCaption;          // "奇数" or "奇数段"; the button is named after it
    bool hasEvery = true;
    // Disabled while a run works; the controls of the click rules end in that rule's state.
    std::vector<std::string> busyControls;
    // Disabled by clicking "每段", enabled again by the other mode buttons.
    std::vector<std::string> disabledByEvery;
};

inline constexpr std::string_view kModeGroup = "指定段/倍数段";
inline constexpr const char* kInsertGroupCaption = "需要插入到某段（多个段 用“,”英文逗号隔开）";
inline constexpr const char* kOperateGroupCaption = "需要操作的段（多个段 用“,”英文逗号隔开）";

// Adds a control with a caption: a label, button, check box or group box.
void AddCaptioned(DialogFields& fields, std::string name, ControlKind kind, std::string caption);
void AddRadioButton(DialogFields& fields, std::string name, std::string caption, std::string group,
                    bool checked);

// Adds the number field alone in its group box.
void AddNumberField(DialogFields& fields, const ParagraphFamilyDialog& family,
                    std::string groupBoxName);
// Adds the group box "指定段/倍数段" with its mode buttons, "指定" checked.
void AddModeButtons(DialogFields& fields, const ParagraphFamilyDialog& family,
                    std::string groupBoxName);
// Gives the mode buttons their click rules.
void AddModeClickRules(DialogDefinition& definition, const ParagraphFamilyDialog& family);

// A dialog whose button 按钮1 runs the command; with a family, its mode buttons get their
// click rules.
DialogDefinition MakeParagraphDialog(std::string title,
                                     std::function<void(DialogFields&)> createControls,
                                     DialogDefinition::Handler run,
                                     const ParagraphFamilyDialog* family = nullptr);

SelectionMode ReadSelectionMode(const DialogFields& fields, const ParagraphFamilyDialog& family);

// Disables the busy controls for the length of a run, then enables them again and puts the
// controls of the click rules in the state the checked mode gives them.
class BusyScope {
public:
    BusyScope(DialogFields& fields, const ParagraphFamilyDialog& family);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    DialogFields& m_fields;
    const ParagraphFamilyDialog& m_family;
};

// The common run: reads the number field, and for every paragraph of the document in order
// calls rule(sink, number, paragraph, selected), which writes that paragraph's output with its
// CR LF into the sink; the result replaces the document in one write. growth is the most the
// rule writes for one paragraph beyond the paragraph and its CR LF (see RewriteParagraphs).
template <typename Rule>
void RunParagraphCommand(DialogFields& fields, CommandContext& context,
                         const ParagraphFamilyDialog& family, std::uint64_t growth, Rule rule) {
    BusyScope busy(fields, family);
    const TextList entries = ReadParagraphNumbers(fields);
    const SelectionMode mode = ReadSelectionMode(fields, family);
    std::optional<ParagraphSelector> selector;
    RewriteParagraphs(context.editor, MaxResultBytes(context.services), growth,
                      [&](std::string_view text, auto& sink) {
                          if (!selector) {
                              selector.emplace(mode, entries, ParagraphCountBound(text));
                          }
                          ParagraphWalker walker(text);
                          std::string_view paragraph;
                          for (std::size_t number = 1; walker.Next(paragraph); ++number) {
                              rule(sink, number, paragraph, selector->IsParagraphSelected(number));
                          }
                      });
}

}  // namespace velmor
