#include <gtest/gtest.h>

#include "WindowDifferential.h"

namespace velmor {
namespace {

class WindowDifferentialTest : public ::testing::Test, protected test::CommandsFixture {
protected:
    void SetUp() override { OpenBound(); }

    test::MessageBoxAnswerer m_boxes;
};

// A bounded share of the random run; bench_WindowDifferentialBench runs it for longer.
TEST_F(WindowDifferentialTest, DocumentWidgetAndSavedBytesAgreeThroughRandomUse) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int steps = 0;
    for (std::uint32_t seed = 1; std::chrono::steady_clock::now() < deadline; ++seed) {
        test::WindowDifferential run(*this, seed);
        const std::optional<std::string> failure = run.Run(300, deadline);
        ASSERT_FALSE(failure) << *failure;
        steps += run.Steps();
    }
    RecordProperty("steps", steps);
}

// A sequence once seen to save bytes that were not on screen: commands each followed by a
// save, filters undone, the generators pressed one after another with their dialogs left
// open, then an undo and a save.
TEST_F(WindowDifferentialTest, GeneratorsThenUndoSaveTheTextOnScreen) {
    std::vector<std::string> steps = {"open:0"};
    for (int command = 0; command < 8; ++command) {
        steps.insert(steps.end(), {"command:" + std::to_string(command), "save"});
    }
    steps.insert(steps.end(), {"undo", "undo", "numbered", "save", "variable", "save", "accounts",
                               "save", "random:0", "save", "undo", "save", "redo", "undo"});
    test::WindowDifferential run(*this, 0);
    const std::optional<std::string> failure = run.Replay(steps);
    EXPECT_FALSE(failure) << *failure;
}

// A stray lead byte, then what the text reads together with it as one character: typed,
// pasted (a euro sign is one byte), typed Chinese whose pairs all shift, composed through
// an input method, or a delete that brings a letter up to it. Seen in a long random run
// after a delete inside a character.
TEST_F(WindowDifferentialTest, WhatJoinsAStrayByteShowsAsTheCharacterSaved) {
    const std::vector<std::string> steps = {"open:4",  "caret:3",   "paste:2", "open:4", "caret:3",
                                            "type",    "open:4",    "caret:3", "ime:0",  "open:4",
                                            "caret:1", "backspace", "caret:0", "delete", "open:4",
                                            "caret:3", "compose:0"};
    test::WindowDifferential run(*this, 0);
    const std::optional<std::string> failure = run.Replay(steps);
    EXPECT_FALSE(failure) << *failure;
}

// Whatever the document's own copy missed, Save writes the text on screen: here the widget
// is changed behind the document's back, same length and all.
TEST_F(WindowDifferentialTest, SaveWritesTheTextOnScreenEvenAfterAnEditTheDocumentMissed) {
    const Text path = PathOf("screen.txt");
    Put(path, Utf8ToGbk("账号1----密码1\r\n"));
    Dialog().Answer(path);
    RunItem("&O.打开");
    ScintillaEditor& editor = Window().Editor();
    const long mask = editor.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
    editor.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, 0UL, 3L);
    editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, 3UL, "号");
    editor.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
    RunItem("&S.保存");
    EXPECT_EQ(GbkToUtf8(Content(path)), "号号1----密码1\r\n");
    EXPECT_EQ(editor.MirrorRepairs(), 1);
}

}  // namespace
}  // namespace velmor
