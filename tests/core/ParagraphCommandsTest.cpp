#include "paragraph/ParagraphCommands.h"

#include <gtest/gtest.h>

#include "ParagraphDialogRun.h"

namespace velmor {
namespace {

struct CommandCase {
    const char* name;
    const DialogDefinition& dialog;
    Text document;
    std::vector<std::string> steps;
    Text expected;
};

void RunTable(const std::vector<CommandCase>& cases) {
    for (const CommandCase& c : cases) {
        DialogRun run(c.dialog, c.document);
        ASSERT_TRUE(run.Apply(c.steps)) << c.name;
        EXPECT_EQ(run.Press(), c.expected) << c.name;
        // One write, so one undo step, and never a message.
        EXPECT_EQ(run.editor.ChangeNotifications(), 1) << c.name;
        EXPECT_TRUE(run.editor.Messages().empty()) << c.name;
    }
}

TEST(InsertNumberedText, Table) {
    const DialogDefinition& d = InsertNumberedTextDialog();
    const std::vector<std::string> xColon = {"单选框_每段", "编辑框_文本左=x", "编辑框_起始号=1",
                                             "编辑框_文本右=:"};
    std::vector<std::string> atEnd = xColon;
    atEnd.push_back("单选框_段尾");
    std::vector<std::string> unnumbered = xColon;
    unnumbered.push_back("选择框1=0");
    RunTable({
        {"every, at start", d, "a\r\nb\r\nc", xColon, "x1:a\r\nx2:b\r\nx3:c\r\n"},
        {"every, at end", d, "a\r\nb\r\nc", atEnd, "ax1:\r\nbx2:\r\ncx3:\r\n"},
        {"no number", d, "a\r\nb\r\nc", unnumbered, "x:a\r\nx:b\r\nx:c\r\n"},
        {"number from the position",
         d,
         "a\r\nb\r\nc",
         {"编辑框1=2", "编辑框_起始号=1"},
         "a\r\n2b\r\nc\r\n"},
        {"odd paragraphs",
         d,
         "1\r\n2\r\n3\r\n4\r\n5\r\n",
         {"单选框_奇数段", "编辑框_起始号=1", "编辑框_文本右=."},
         "1.1\r\n2\r\n3.3\r\n4\r\n5.5\r\n"},
        {"multiples written once",
         d,
         "a\r\nb\r\nc\r\nd",
         {"单选框_倍数", "编辑框1=2", "编辑框_起始号=1", "编辑框_文本左=#"},
         "a\r\n#2b\r\nc\r\n#4d\r\n"},
        {"negative start", d, "a\r\nb", {"单选框_每段", "编辑框_起始号=-5"}, "-5a\r\n-4b\r\n"},
        {"empty start reads 0", d, "a\r\nb", {"单选框_每段"}, "0a\r\n1b\r\n"},
        {"start beyond the 32-bit range saturates",
         d,
         "a\r\nb",
         {"单选框_每段", "编辑框_起始号=99999999999"},
         "2147483647a\r\n2147483648b\r\n"},
        {"start below the 32-bit range saturates",
         d,
         "a\r\nb",
         {"单选框_每段", "编辑框_起始号=-99999999999", "单选框_段尾"},
         "a-2147483648\r\nb-2147483647\r\n"},
        {"blank line numbered",
         d,
         "a\r\n\r\nb",
         {"编辑框1=2", "编辑框_起始号=1"},
         "a\r\n2\r\nb\r\n"},
        {"nothing selected adds the final break", d, "a\r\nb", {"编辑框1=9"}, "a\r\nb\r\n"},
        {"empty document stays empty", d, "", {"单选框_每段"}, ""},
    });
}

TEST(InsertFixedText, Table) {
    const DialogDefinition& d = InsertFixedTextDialog();
    RunTable({
        {"multiples at end",
         d,
         "a\r\nb\r\nc\r\nd",
         {"单选框_倍数", "编辑框1=2", "单选框_段尾", "编辑框_文本=\xA1\xA3"},
         "a\r\nb\xA1\xA3\r\nc\r\nd\xA1\xA3\r\n"},
        {"odd with a TAB",
         d,
         "x\r\ny\r\nz",
         {"单选框_奇数段", "编辑框_文本=\t"},
         "\tx\r\ny\r\n\tz\r\n"},
        {"blank paragraph gets the text",
         d,
         "a\r\n\r\n",
         {"单选框_每段", "编辑框_文本=T"},
         "Ta\r\nT\r\n"},
        {"beyond the document",
         d,
         "a\r\nb\r\nc",
         {"编辑框1=9", "编辑框_文本=T"},
         "a\r\nb\r\nc\r\n"},
        {"text kept as typed", d, "a", {"编辑框1=1", "编辑框_文本= t "}, " t a\r\n"},
    });
}

TEST(InsertWholeParagraph, Table) {
    const DialogDefinition& d = InsertWholeParagraphDialog();
    RunTable({
        {"before", d, "x\r\ny\r\nz", {"编辑框1=2", "编辑框_文本=new"}, "x\r\nnew\r\ny\r\nz\r\n"},
        {"after",
         d,
         "x\r\ny\r\nz",
         {"编辑框1=2", "编辑框_文本=new", "单选框_段后"},
         "x\r\ny\r\nnew\r\nz\r\n"},
        {"empty text after every paragraph",
         d,
         "x\r\ny",
         {"单选框_每段", "单选框_段后"},
         "x\r\n\r\ny\r\n\r\n"},
        {"two lines before odd paragraphs",
         d,
         "x\r\ny\r\nz",
         {"单选框_奇数段", "编辑框_文本=u\r\nv"},
         "u\r\nv\r\nx\r\ny\r\nu\r\nv\r\nz\r\n"},
        {"an entry given twice inserts once",
         d,
         "x\r\ny",
         {"编辑框1=1,1", "编辑框_文本=t"},
         "t\r\nx\r\ny\r\n"},
    });
}

TEST(DeleteKeepParagraphs, Table) {
    const DialogDefinition& d = DeleteKeepParagraphsDialog();
    const Text five = "p1\r\np2\r\np3\r\np4\r\np5\r\n";
    const Text six = five + "p6\r\n";
    RunTable({
        {"delete listed", d, five, {"编辑框1=2,4"}, "p1\r\np3\r\np5\r\n"},
        {"keep listed", d, five, {"编辑框1=2,4", "单选框_保留"}, "p2\r\np4\r\n"},
        {"keep in document order", d, five, {"编辑框1=4,2", "单选框_保留"}, "p2\r\np4\r\n"},
        {"delete multiples", d, six, {"单选框_倍数", "编辑框1=2"}, "p1\r\np3\r\np5\r\n"},
        {"keep multiples",
         d,
         six,
         {"单选框_倍数", "编辑框1=2", "单选框_保留"},
         "p2\r\np4\r\np6\r\n"},
        {"delete odd", d, five, {"单选框_奇数"}, "p2\r\np4\r\n"},
        {"keep odd", d, five, {"单选框_奇数", "单选框_保留"}, "p1\r\np3\r\np5\r\n"},
        {"delete a blank line", d, "x\r\n\r\ny", {"编辑框1=2"}, "x\r\ny\r\n"},
        {"keep nothing", d, five, {"单选框_保留"}, ""},
        {"delete with an entry 0 under multiples",
         d,
         five,
         {"单选框_倍数", "编辑框1=0,,5"},
         "p1\r\np2\r\np3\r\np4\r\n"},
    });
}

TEST(ParagraphPart, Table) {
    const DialogDefinition& d = ParagraphPartDialog();
    const Text abcd = "abcd\r\nxy\r\nz";
    const Text chinese = "\xD6\xD0\xCE\xC4";  // two characters, four bytes
    RunTable({
        {"keep first", d, abcd, {"单选框_每段", "编辑框_长度=2"}, "ab\r\nxy\r\nz\r\n"},
        {"keep last", d, abcd, {"单选框_每段", "编辑框_长度=2", "单选框_尾"}, "cd\r\nxy\r\nz\r\n"},
        {"delete first",
         d,
         abcd,
         {"单选框_每段", "编辑框_长度=2", "单选框_删除"},
         "cd\r\n\r\n\r\n"},
        {"delete last",
         d,
         abcd,
         {"单选框_每段", "编辑框_长度=1", "单选框_删除", "单选框_尾"},
         "abc\r\nx\r\n\r\n"},
        {"keep listed drops the rest", d, abcd, {"编辑框1=2", "编辑框_长度=1"}, "x\r\n"},
        {"delete listed keeps the rest",
         d,
         abcd,
         {"编辑框1=2", "编辑框_长度=1", "单选框_删除"},
         "abcd\r\ny\r\nz\r\n"},
        {"odd, delete last",
         d,
         abcd,
         {"单选框_奇数段", "编辑框_长度=1", "单选框_删除", "单选框_尾"},
         "abc\r\nxy\r\n\r\n"},
        {"default length 10", d, "0123456789ab", {"单选框_每段"}, "0123456789\r\n"},
        {"keep 0", d, abcd, {"单选框_每段", "编辑框_长度=0"}, "\r\n\r\n\r\n"},
        {"delete 0",
         d,
         abcd,
         {"单选框_每段", "编辑框_长度=0", "单选框_删除"},
         "abcd\r\nxy\r\nz\r\n"},
        {"negative keep", d, "ab", {"单选框_每段", "编辑框_长度=-3"}, "\r\n"},
        {"negative delete", d, "ab", {"单选框_每段", "编辑框_长度=-3", "单选框_删除"}, "ab\r\n"},
        {"huge delete from the end",
         d,
         "ab",
         {"单选框_每段", "编辑框_长度=-99999999999", "单选框_删除", "单选框_尾"},
         "ab\r\n"},
        {"length not a number", d, "ab", {"单选框_每段", "编辑框_长度=x"}, "\r\n"},
        {"keep a whole character", d, chinese, {"单选框_每段", "编辑框_长度=2"}, "\xD6\xD0\r\n"},
        {"keep within the length", d, chinese, {"单选框_每段", "编辑框_长度=3"}, "\xD6\xD0\r\n"},
        {"keep the last within the length",
         d,
         chinese,
         {"单选框_每段", "编辑框_长度=3", "单选框_尾"},
         "\xCE\xC4\r\n"},
        {"delete at least the length",
         d,
         chinese,
         {"单选框_每段", "编辑框_长度=1", "单选框_删除"},
         "\xCE\xC4\r\n"},
        {"delete the last at least the length",
         d,
         chinese,
         {"单选框_每段", "编辑框_长度=1", "单选框_删除", "单选框_尾"},
         "\xD6\xD0\r\n"},
        {"keep one byte of a character",
         d,
         "a\xD6\xD0"
         "b",
         {"单选框_每段", "编辑框_长度=2"},
         "a\r\n"},
        {"trail byte like an ASCII letter",
         d,
         "\xB0"
         "a"
         "bc",
         {"单选框_每段", "编辑框_长度=1", "单选框_删除"},
         "bc\r\n"},
    });
}

TEST(MergeParagraphs, Table) {
    const DialogDefinition& d = MergeParagraphsDialog();
    const Text five = "p1\r\np2\r\np3\r\np4\r\np5";
    RunTable({
        {"all into one", d, "x\r\ny\r\nz\r\n", {}, "xyz"},
        {"lone CR and LF stay", d, "a\rb\r\nc\nd", {}, "a\rbc\nd"},
        {"pairs", d, five, {"单选框_多段", "编辑框1=2"}, "p1p2\r\np3p4\r\np5"},
        {"pairs with a blank line",
         d,
         "x\r\n\r\ny\r\nz",
         {"单选框_多段", "编辑框1=2"},
         "x\r\nyz\r\n"},
        {"groups of one", d, "a\r\nb", {"单选框_多段", "编辑框1=1"}, "a\r\nb\r\n"},
        {"group larger than the document", d, five, {"单选框_多段", "编辑框1=9"}, "p1p2p3p4p5"},
        {"negative group", d, five, {"单选框_多段", "编辑框1=-2"}, "p1p2\r\np3p4\r\np5"},
        {"saturated group", d, five, {"单选框_多段", "编辑框1=-99999999999"}, "p1p2p3p4p5"},
    });
}

TEST(MergeParagraphs, GroupOfZeroLeavesTheDocumentUntouched) {
    for (const char* field : {"", "0", "x", "\xA3\xB0"}) {
        DialogRun run(MergeParagraphsDialog(), "a\r\nb");
        ASSERT_TRUE(run.Apply({"单选框_多段", std::string("编辑框1=") + field}));
        EXPECT_EQ(run.Press(), "a\r\nb") << field;
        EXPECT_EQ(run.editor.ChangeNotifications(), 0) << field;
    }
}

TEST(IndentParagraphs, Table) {
    const DialogDefinition& d = IndentParagraphsDialog();
    RunTable({
        {"full-width spaces become four", d, "\xA1\xA1\xA1\xA1x", {}, "    x\r\n"},
        {"zero removes the indentation", d, "  a\r\n\xA1\xA1 b", {"编辑框1=0"}, "a\r\nb\r\n"},
        {"negative removes it too", d, " a", {"编辑框1=-3"}, "a\r\n"},
        {"blank paragraph gets the pad",
         d,
         "a\r\n\r\nb\r\n",
         {"编辑框1=2"},
         "  a\r\n  \r\n  b\r\n"},
        {"TAB stays after the pad", d, "\t a", {"编辑框1=1"}, " \t a\r\n"},
        {"empty document stays empty", d, "", {}, ""},
    });
}

TEST(IndentParagraphs, CaptionTellsTheRunIsDone) {
    DialogRun run(IndentParagraphsDialog(), "a");
    EXPECT_EQ(run.session.Fields().Title(), "段前空格");
    run.Press();
    EXPECT_EQ(run.session.Fields().Title(), "段前空格——调整完毕！");
}

TEST(DeleteSpaces, Table) {
    const DialogDefinition& d = DeleteSpacesDialog();
    const Text padded = " x \r\n y \r\n z ";
    RunTable({
        {"both ends of one paragraph",
         d,
         padded,
         {"编辑框1=2", "单选框_段首尾"},
         " x \r\ny\r\n z \r\n"},
        {"start", d, padded, {"编辑框1=1,3", "单选框_段首"}, "x \r\n y \r\nz \r\n"},
        {"end", d, padded, {"单选框_奇数", "单选框_段尾"}, " x\r\n y \r\n z\r\n"},
        {"all, every paragraph", d, "x y\xA1\xA1z", {"单选框_每段"}, "xyz\r\n"},
        {"TAB is no space at the start", d, "\t  a", {"编辑框1=1", "单选框_段首"}, "\t  a\r\n"},
        {"TAB kept by all", d, "\t  a", {"编辑框1=1"}, "\ta\r\n"},
        {"trail byte 20 is no space",
         d,
         "\xB0\x20 a",
         {"单选框_每段"},
         "\xB0\x20"
         "a\r\n"},
        {"parts disabled by every still apply",
         d,
         padded,
         {"单选框_段首", "单选框_每段"},
         "x \r\ny \r\nz \r\n"},
        {"multiples", d, padded, {"单选框_倍数", "编辑框1=2"}, " x \r\ny\r\n z \r\n"},
        {"selects nothing", d, padded, {"编辑框1=0"}, padded + "\r\n"},
    });
}

}  // namespace
}  // namespace velmor
