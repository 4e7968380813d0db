#include <gtest/gtest.h>

#include "core/MemoryEditor.h"
#include "core/UndoHistory.h"

namespace velmor {
namespace {

class UndoHistoryTest : public ::testing::Test {
protected:
    UndoHistoryTest() { m_history.Attach(); }

    std::string SlotText(int index) const {
        const SharedText* text = m_history.Slot(index);
        return text ? text->Flatten() : "<empty>";
    }

    MemoryEditor m_editor;
    UndoHistory m_history{m_editor};
};

TEST_F(UndoHistoryTest, TypingFillsTheSlotsBelowTheCurrentOne) {
    m_editor.Type("a");
    m_editor.Type("ab");
    m_editor.Type("abc");
    EXPECT_EQ(SlotText(18), "a");
    EXPECT_EQ(SlotText(19), "ab");
    EXPECT_EQ(SlotText(20), "abc");
    EXPECT_EQ(SlotText(17), "<empty>");
    EXPECT_EQ(SlotText(21), "<empty>");

    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "ab");
    EXPECT_EQ(SlotText(21), "abc");
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "a");
    m_history.Redo();
    EXPECT_EQ(m_editor.ReadText(), "ab");
    EXPECT_FALSE(m_history.HistoryBusy());
    EXPECT_EQ(SlotText(20), "ab");
    EXPECT_EQ(SlotText(21), "abc");
}

TEST_F(UndoHistoryTest, TypingAfterUndoForgetsTheUndoneStates) {
    m_editor.Type("a");
    m_editor.Type("ab");
    m_history.Undo();
    ASSERT_EQ(m_editor.ReadText(), "a");
    m_editor.Type("ax");
    EXPECT_EQ(SlotText(19), "a");
    EXPECT_EQ(SlotText(20), "ax");
    for (int i = 21; i < UndoHistory::kSlotCount; ++i) {
        EXPECT_EQ(SlotText(i), "<empty>") << i;
    }
    m_history.Redo();
    EXPECT_EQ(m_editor.ReadText(), "ax");
}

TEST_F(UndoHistoryTest, UndoOntoAnEmptySlotSwallowsTheNextChange) {
    m_editor.Type("a");
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "a");
    EXPECT_TRUE(m_history.HistoryBusy());

    m_editor.Type("ab");
    EXPECT_FALSE(m_history.HistoryBusy());
    EXPECT_EQ(SlotText(20), "<empty>");
    EXPECT_EQ(SlotText(21), "a");

    m_editor.Type("abc");
    EXPECT_EQ(SlotText(20), "abc");
    EXPECT_EQ(SlotText(19), "<empty>");
}

TEST_F(UndoHistoryTest, DeletingAllTextRecordsNothing) {
    m_editor.Type("a");
    m_editor.Type("ab");
    m_editor.Type("");
    EXPECT_EQ(SlotText(20), "ab");
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "a");
}

TEST_F(UndoHistoryTest, WritingTheSameTextBackMakesOneUndoShowNoChange) {
    m_editor.Type("a");
    m_editor.Type("ab");
    m_editor.ReplaceText(m_editor.ReadText());
    EXPECT_TRUE(m_history.Slot(19)->SameVersion(*m_history.Slot(20)))
        << "the same text shares its storage";
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "ab");
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "a");
}

TEST_F(UndoHistoryTest, KeepsAtMostTwentyOneStatesBehind) {
    for (int i = 1; i <= 30; ++i) {
        m_editor.Type(std::string(i, 'x'));
    }
    EXPECT_EQ(SlotText(0), std::string(10, 'x'));
    int undos = 0;
    while (m_editor.ReadText() != std::string(10, 'x') && undos < 50) {
        m_history.Undo();
        ++undos;
    }
    EXPECT_EQ(undos, 20);
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), std::string(10, 'x')) << "the end of the history";
    EXPECT_EQ(SlotText(20), "<empty>");

    // Undoing past the oldest state pushed the newest undone state out of slot 40.
    int redos = 0;
    while (m_editor.ReadText() != std::string(29, 'x') && redos < 50) {
        m_history.Redo();
        ++redos;
    }
    EXPECT_EQ(redos, 20);
    m_history.Redo();
    EXPECT_EQ(m_editor.ReadText(), std::string(29, 'x'));
}

TEST_F(UndoHistoryTest, RedoAtTheEndChangesNothing) {
    m_editor.Type("a");
    m_history.Redo();
    EXPECT_EQ(m_editor.ReadText(), "a");
    EXPECT_EQ(m_editor.ChangeNotifications(), 1);
}

TEST_F(UndoHistoryTest, UndoAfterOpenReturnsToThePreviousText) {
    m_editor.Type("old");
    m_editor.ReplaceText("");
    m_editor.ReplaceText("loaded");
    m_history.Undo();
    EXPECT_EQ(m_editor.ReadText(), "old");
}

TEST_F(UndoHistoryTest, HoldsAtMostFortyOneTexts) {
    const std::string big(1000, 'q');
    for (int i = 0; i < 100; ++i) {
        m_editor.Type(big + std::to_string(i));
    }
    EXPECT_LE(m_history.HeldBytes(), 21 * (big.size() + 2));
    for (int i = 0; i < 10; ++i) {
        m_history.Undo();
    }
    EXPECT_LE(m_history.HeldBytes(), 21 * (big.size() + 2));
}

}  // namespace
}  // namespace velmor
