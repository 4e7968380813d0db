#include <gtest/gtest.h>

#include "core/MemoryEditor.h"

namespace velmor {
namespace {

// An editor that cannot lend: every read is a copy, as in the window.
class CopyingEditor : public MemoryEditor {
public:
    using MemoryEditor::MemoryEditor;
    TextLease LendText() const override { return MainEditor::LendText(); }
    void RewriteText(const std::function<void(Text&)>& rewrite) override {
        MainEditor::RewriteText(rewrite);
    }
};

TEST(EditorLeaseTest, MemoryEditorLendsItsOwnBuffer) {
    MemoryEditor editor("abc");
    const TextLease lease = editor.LendText();
    EXPECT_EQ(&lease.Get(), &editor.Contents());
}

TEST(EditorLeaseTest, AnOwnedLeaseSurvivesBeingMoved) {
    CopyingEditor editor(Text(1000, 'x'));
    TextLease first = editor.LendText();
    const TextLease second(std::move(first));
    EXPECT_EQ(second.Get(), Text(1000, 'x'));
    EXPECT_NE(&second.Get(), &editor.Contents());
}

TEST(EditorLeaseTest, RewriteIsOneReplaceInEveryEditor) {
    for (const bool lends : {true, false}) {
        std::unique_ptr<MemoryEditor> editor = lends ? std::make_unique<MemoryEditor>("abcdef")
                                                     : std::make_unique<CopyingEditor>("abcdef");
        editor->SetSelectionStart(5);
        editor->RewriteText([](Text& text) { text.resize(2); });
        EXPECT_EQ(editor->Contents(), "ab");
        EXPECT_EQ(editor->ChangeNotifications(), 1);
        EXPECT_EQ(editor->SelectionStart(), 2) << "the caret is clamped to the new text";
    }
}

}  // namespace
}  // namespace velmor
