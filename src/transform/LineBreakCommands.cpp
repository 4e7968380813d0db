#include <algorithm>

#include "core/LargeText.h"
#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {

namespace {

bool IsLineBreakAt(const Text& text, std::size_t i, std::size_t end) {
    return i + 1 < end && text[i] == '\r' && text[i + 1] == '\n';
}

// Walks the characters of text[0, end) and calls run(begin, pairs) for every maximal run of
// CR LF pairs that starts at a character start, after copy(from, to) for the bytes before it.
template <typename Copy, typename Run>
void ForEachLineBreakRun(const Text& text, std::size_t end, Copy copy, Run run) {
    std::size_t copied = 0;
    std::size_t i = 0;
    while (i < end) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            i += 2;
            continue;
        }
        if (c != '\r' || !IsLineBreakAt(text, i, end)) {
            ++i;
            continue;
        }
        std::size_t j = i + 2;
        while (IsLineBreakAt(text, j, end)) {
            j += 2;
        }
        copy(copied, i);
        run((j - i) / 2);
        copied = j;
        i = j;
    }
    copy(copied, end);
}

void AppendLineBreaks(Text& out, std::size_t pairs) {
    for (std::size_t k = 0; k < pairs; ++k) {
        out += "\r\n";
    }
}

}  // namespace

Text CollapseLineBreakRuns(const Text& text) {
    Text result;
    ReserveLargeText(result, text.size(), text.size() / 2);
    ForEachLineBreakRun(
        text, text.size(),
        [&](std::size_t from, std::size_t to) { result.append(text, from, to - from); },
        [&](std::size_t) { result += "\r\n"; });
    return result;
}

void RunCollapseLineBreaks(CommandContext& context) {
    context.editor.ReplaceText(CollapseLineBreakRuns(context.editor.LendText().Get()));
}

std::optional<Text> ChangeLineBreakRuns(const Text& text, int replaced, int replacing,
                                        std::size_t maxBytes) {
    std::size_t end = text.size();
    while (end >= 2 && text[end - 2] == '\r' && text[end - 1] == '\n') {
        end -= 2;
    }
    if (replaced <= 0) {
        return text.substr(0, end);
    }
    const std::size_t n = static_cast<std::size_t>(replaced);
    const std::size_t m = replacing > 0 ? static_cast<std::size_t>(replacing) : 0;
    auto pairsFor = [n, m](std::size_t k) { return k / n * m + k % n; };
    // Sized first, so a huge replacement count is refused before anything is allocated.
    long double size = 0;
    ForEachLineBreakRun(
        text, end, [&](std::size_t from, std::size_t to) { size += to - from; },
        [&](std::size_t k) { size += 2.0L * pairsFor(k); });
    if (size > maxBytes) {
        return std::nullopt;
    }
    Text result;
    ReserveLargeText(result, static_cast<std::size_t>(size));
    ForEachLineBreakRun(
        text, end, [&](std::size_t from, std::size_t to) { result.append(text, from, to - from); },
        [&](std::size_t k) { AppendLineBreaks(result, pairsFor(k)); });
    return result;
}

namespace {

// Calls piece(begin, end) for every piece TextSplit would give.
template <typename Piece>
void ForEachPiece(const Text& text, const Text& separator, Piece piece) {
    std::size_t begin = 0;
    int found;
    while (begin < text.size() &&
           (found = TextFind(text, separator, static_cast<int>(begin) + 1)) > 0) {
        const std::size_t at = static_cast<std::size_t>(found) - 1;
        piece(begin, at);
        begin = at + separator.size();
    }
    if (begin < text.size()) {
        piece(begin, text.size());
    }
}

}  // namespace

std::optional<Text> SplitIntoParagraphs(const Text& text, const Text& separator,
                                        std::size_t maxBytes) {
    if (text.empty()) {
        return Text();
    }
    if (separator.empty()) {
        if (text.size() + 2 > maxBytes) {
            return std::nullopt;
        }
        return text + "\r\n";
    }
    std::size_t size = 2 * text.size() + 2;
    if (size > maxBytes) {
        size = 0;
        ForEachPiece(text, separator,
                     [&size](std::size_t from, std::size_t to) { size += to - from + 2; });
        if (size > maxBytes) {
            return std::nullopt;
        }
    }
    Text result;
    ReserveLargeText(result, std::min(size, text.size() + text.size() / 4 + 2), text.size());
    ForEachPiece(text, separator, [&](std::size_t from, std::size_t to) {
        result.append(text, from, to - from);
        result += "\r\n";
    });
    return result;
}

const DialogDefinition& LineBreakCountDialog() {
    static const DialogDefinition definition = [] {
        DialogDefinition d;
        d.title = "连续换行符数变更";
        d.createControls = [](DialogFields& fields) {
            fields.Add("标签1", ControlKind::Label).caption = "被替换的换行符数量：";
            Control& from = fields.Add("编辑框_被", ControlKind::EditBox);
            from.text = "3";
            from.digitsOnly = true;
            fields.Add("标签2", ControlKind::Label).caption = "欲替换的换行符数量：";
            Control& to = fields.Add("编辑框_欲", ControlKind::EditBox);
            to.text = "2";
            to.digitsOnly = true;
            fields.Add("按钮1", ControlKind::Button).caption = "确定";
        };
        d.onPress["按钮1"] = [](DialogFields& fields, CommandContext& context) {
            WriteResultOrRefuse(
                context.editor,
                ChangeLineBreakRuns(context.editor.LendText().Get(), fields.NumberOf("编辑框_被"),
                                    fields.NumberOf("编辑框_欲"),
                                    MaxResultBytes(context.services)));
        };
        d.actionButton = "按钮1";
        return d;
    }();
    return definition;
}

const DialogDefinition& SplitTextDialog() {
    static const DialogDefinition definition = [] {
        DialogDefinition d;
        d.title = "分割文本";
        d.createControls = [](DialogFields& fields) {
            fields.Add("分组框1", ControlKind::GroupBox);
            fields.Add("标签1", ControlKind::Label).caption = "分隔符：";
            fields.Add("编辑框1", ControlKind::EditBox);
            fields.Add("按钮1", ControlKind::Button).caption = "开始分割";
            fields.Add("标签2", ControlKind::Label).caption = "注：分割后的文本以段的形式体现";
        };
        d.onPress["按钮1"] = [](DialogFields& fields, CommandContext& context) {
            WriteResultOrRefuse(
                context.editor,
                SplitIntoParagraphs(context.editor.LendText().Get(), fields.TextOf("编辑框1"),
                                    MaxResultBytes(context.services)));
        };
        d.actionButton = "按钮1";
        return d;
    }();
    return definition;
}

}  // namespace velmor
