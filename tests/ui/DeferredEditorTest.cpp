#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/DeferredEditor.h"
#include "core/MemoryEditor.h"

namespace velmor {
namespace {

// What a command saw of its editor, read after each of its steps.
struct Observed {
    std::vector<Text> texts;
    std::vector<int> selections;
    std::vector<bool> flags;

    bool operator==(const Observed&) const = default;
};

using Step = std::function<void(EditorAccess&)>;

Observed Play(EditorAccess& editor, const std::vector<Step>& steps) {
    Observed seen;
    for (const Step& step : steps) {
        step(editor);
        seen.texts.push_back(editor.LendText().Get());
        if (editor.ReadSnapshot().Flatten() != seen.texts.back()) {
            seen.texts.back() += "<snapshot differs>";
        }
        seen.selections.push_back(editor.SelectionStart());
        seen.selections.push_back(editor.SelectionLength());
        seen.flags.push_back(editor.ModifiedFlag());
    }
    return seen;
}

MemoryEditor Prepared(const Text& text, int start, int length, bool modified) {
    MemoryEditor editor(text);
    editor.SetSelectionStart(start);
    editor.SetSelectionLength(length);
    editor.SetModifiedFlag(modified);
    return editor;
}

void UpperMap(std::string_view text, char* out) {
    std::transform(text.begin(), text.end(), out,
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; });
}

struct Row {
    const char* name;
    Text initial;
    std::vector<Step> steps;
};

// Each sequence runs once on an in-memory editor and once deferred: what the command reads
// and what the editor holds after the deferred writes are made must agree.
TEST(DeferredEditorTest, ReadsAndReplayedWritesMatchARunOnTheEditorItself) {
    const Text chinese =
        "\xD6\xD0\xCE\xC4"
        "ab\xD6\xD0";  // 中文ab中
    const std::vector<Row> rows = {
        {"nothing written", chinese, {[](EditorAccess&) {}}},
        {"replace keeps a start within the new text", chinese, {[](EditorAccess& e) {
             e.ReplaceText(Text("xyz"));
         }}},
        {"replace clamps a start beyond the new text",
         chinese + chinese + chinese,
         {[](EditorAccess& e) { e.SetSelectionStart(14); },
          [](EditorAccess& e) { e.ReplaceText(Text("\xB0\xA1")); }}},
        {"append moves the caret to the end and sets the flag",
         chinese,
         {[](EditorAccess& e) { e.AppendText("\r\n\xB0\xA1"); },
          [](EditorAccess& e) { e.AppendText(""); }}},
        {"selection set, clamped and read back",
         chinese,
         {[](EditorAccess& e) { e.SetSelectionStart(2); },
          [](EditorAccess& e) { e.SetSelectionLength(99); },
          [](EditorAccess& e) { e.SetSelectionStart(-5); },
          [](EditorAccess& e) { e.SetSelectionLength(3); }}},
        {"flag cleared after a replace",
         chinese,
         {[](EditorAccess& e) { e.ReplaceText(e.ReadText() + "!"); },
          [](EditorAccess& e) { e.SetModifiedFlag(false); },
          [](EditorAccess& e) { e.AppendText("?"); }}},
        {"rewrite in place after an append",
         chinese,
         {[](EditorAccess& e) { e.AppendText("cd"); },
          [](EditorAccess& e) { e.RewriteText([](Text& t) { t.erase(0, 2); }); },
          [](EditorAccess& e) { e.SetSelectionStart(3); }}},
        {"map after an append, and of the first text",
         chinese,
         {[](EditorAccess& e) { e.MapText(UpperMap); }, [](EditorAccess& e) { e.AppendText("cd"); },
          [](EditorAccess& e) { e.MapText(UpperMap); }}},
        {"empty document",
         "",
         {[](EditorAccess& e) { e.SetSelectionStart(4); },
          [](EditorAccess& e) { e.ReplaceText(Text()); },
          [](EditorAccess& e) { e.AppendText("a"); },
          [](EditorAccess& e) { e.SupportNoticeStep(); }}},
    };
    for (const Row& row : rows) {
        MemoryEditor direct = Prepared(row.initial, 3, 1, true);
        const Observed expected = Play(direct, row.steps);

        MemoryEditor target = Prepared(row.initial, 3, 1, true);
        DeferredEditor deferred(
            {target.ReadSnapshot(), target.SelectionStart(), target.SelectionLength(), true}, {});
        EXPECT_EQ(Play(deferred, row.steps), expected) << row.name;
        EXPECT_EQ(target.Contents(), row.initial) << row.name << ": written before the end";

        deferred.ApplyTo(target);
        EXPECT_EQ(target.Contents(), direct.Contents()) << row.name;
        EXPECT_EQ(target.SelectionStart(), direct.SelectionStart()) << row.name;
        EXPECT_EQ(target.SelectionLength(), direct.SelectionLength()) << row.name;
        EXPECT_EQ(target.ModifiedFlag(), direct.ModifiedFlag()) << row.name;
        EXPECT_EQ(target.ChangeNotifications(), direct.ChangeNotifications()) << row.name;
        EXPECT_EQ(target.NoticeSteps(), direct.NoticeSteps()) << row.name;
    }
}

TEST(DeferredEditorTest, WritesAreMadeOnceAndInOrder) {
    MemoryEditor target("abc");
    DeferredEditor deferred({target.ReadSnapshot(), 0, 0, false}, {});
    deferred.ReplaceText(Text("one"));
    deferred.ReplaceText(Text("two"));
    deferred.AppendText("+");
    deferred.SupportNoticeStep();
    std::vector<Text> seen;
    target.SetChangeListener([&] { seen.push_back(target.Contents()); });
    deferred.ApplyTo(target);
    EXPECT_EQ(seen, (std::vector<Text>{"one", "two", "two+"}));
    EXPECT_EQ(target.NoticeSteps(), 1);
    deferred.ApplyTo(target);
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(target.NoticeSteps(), 1);
}

TEST(DeferredEditorTest, AWholeBufferIsLentWithoutACopyAndAPiecedOneFlattened) {
    const SharedText whole(Text(1000, 'a'));
    DeferredEditor deferred({whole, 0, 0, false}, {});
    EXPECT_EQ(&deferred.LendText().Get(), whole.Pieces().front().buffer.get());
    // So is one buffer in the chunks an editor cuts it into.
    const auto buffer = whole.Pieces().front().buffer;
    DeferredEditor chunked(
        {SharedText(SharedText::Chunks{{buffer, 0, 400, 0}, {buffer, 400, 600, 0}}), 0, 0, false},
        {});
    EXPECT_EQ(&chunked.LendText().Get(), buffer.get());
    EXPECT_EQ(chunked.LastReplacement(), nullptr);
    // A rewrite works on a copy of its own and is one whole-text write.
    chunked.RewriteText([](Text& text) { text[0] = 'b'; });
    EXPECT_EQ(*buffer, Text(1000, 'a'));
    ASSERT_NE(chunked.LastReplacement(), nullptr);
    EXPECT_EQ(chunked.LastReplacement()->Flatten(), "b" + Text(999, 'a'));

    // A map reads the snapshot's own buffer, which the undo history keeps, and writes a new one.
    DeferredEditor mapped({whole, 0, 0, false}, {});
    mapped.MapText([&](std::string_view text, char* out) {
        EXPECT_EQ(text.data(), buffer->data());
        EXPECT_NE(out, buffer->data());
        UpperMap(text, out);
    });
    EXPECT_EQ(*buffer, Text(1000, 'a'));
    ASSERT_NE(mapped.LastReplacement(), nullptr);
    EXPECT_EQ(mapped.LastReplacement()->Flatten(), Text(1000, 'A'));

    deferred.AppendText("b");
    EXPECT_EQ(deferred.LendText().Get(), Text(1000, 'a') + "b");
    EXPECT_EQ(deferred.ReadText(), Text(1000, 'a') + "b");
}

TEST(DeferredEditorTest, MessagesGoToTheRelayAndQuestionsWithoutOneAreCancelled) {
    std::vector<std::string> relayed;
    DeferredEditor relaying(
        {}, [&](MessageKind kind, const std::string& text, const std::string& title) {
            relayed.push_back(title + ":" + text);
            return kind == MessageKind::Question ? MessageAnswer::No : MessageAnswer::None;
        });
    EXPECT_EQ(relaying.ShowMessage(MessageKind::Question, "q", "t"), MessageAnswer::No);
    EXPECT_EQ(relaying.ShowMessage(MessageKind::Error, "e", "u"), MessageAnswer::None);
    EXPECT_EQ(relayed, (std::vector<std::string>{"t:q", "u:e"}));

    DeferredEditor silent({}, {});
    EXPECT_EQ(silent.ShowMessage(MessageKind::Question, "q", "t"), MessageAnswer::Cancel);
    EXPECT_EQ(silent.ShowMessage(MessageKind::Information, "i", "t"), MessageAnswer::None);
}

}  // namespace
}  // namespace velmor
