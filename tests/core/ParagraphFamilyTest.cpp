#include <gtest/gtest.h>

#include <climits>

#include "ParagraphDialogRun.h"
#include "paragraph/ParagraphCommands.h"

namespace velmor {
namespace {

// The dialogs that read the paragraph-number field 编辑框1. Their shared dialog behaviour (mode
// buttons, busy controls, field rewriting) is tested through the real forms.
std::vector<const DialogDefinition*> Family() {
    return {&DeleteSpacesDialog(),         &InsertNumberedTextDialog(),   &InsertFixedTextDialog(),
            &InsertWholeParagraphDialog(), &DeleteKeepParagraphsDialog(), &ParagraphPartDialog()};
}

TEST(ParagraphFamily, AnyNumberFieldRunsWithoutHarm) {
    Text many;
    for (int k = 100000; k > 0; --k) {
        many += std::to_string(k) + ",";
    }
    const std::vector<std::string> fields = {many,
                                             ",,,",
                                             "\xB0",
                                             "1\xB0",
                                             "\xA3\xB1\xA3\xB0",
                                             "+2",
                                             "-0",
                                             "99999999999999999999",
                                             "-2147483648",
                                             "\xA1\xA1\xA1\xA1",
                                             "2\xA3\xAC\xA3\xAC"
                                             "4"};
    for (const DialogDefinition* dialog : Family()) {
        for (const char* mode : {"单选框_指定", "单选框_倍数"}) {
            for (const std::string& field : fields) {
                DialogRun run(*dialog, "a\r\nb\r\nc\r\nd");
                ASSERT_TRUE(run.Apply({mode, "编辑框1=" + field}));
                run.Press();
                EXPECT_EQ(run.editor.ChangeNotifications(), 1) << dialog->title;
                DialogRun empty(*dialog, "");
                ASSERT_TRUE(empty.Apply({mode, "编辑框1=" + field}));
                EXPECT_EQ(empty.Press(), "") << dialog->title;
            }
        }
    }
}

TEST(ParagraphFamily, ResultBeyondOneGibibyteIsRefused) {
    const Text document = [] {
        Text text;
        for (int k = 0; k < 600; ++k) {
            text += "p\r\n";
        }
        return text;
    }();
    const Text twoMegabytes(2 << 20, 't');
    struct Refused {
        const char* name;
        const DialogDefinition& dialog;
        std::vector<std::string> steps;
    };
    const Refused cases[] = {
        {"fixed text", InsertFixedTextDialog(), {"单选框_每段", "编辑框_文本=" + twoMegabytes}},
        {"whole paragraph",
         InsertWholeParagraphDialog(),
         {"单选框_每段", "编辑框_文本=" + twoMegabytes}},
        {"numbered text",
         InsertNumberedTextDialog(),
         {"单选框_每段", "编辑框_文本右=" + twoMegabytes}},
        {"indent", IndentParagraphsDialog(), {"编辑框1=" + std::to_string(INT_MAX)}},
    };
    for (const Refused& c : cases) {
        DialogRun run(c.dialog, document);
        ASSERT_TRUE(run.Apply(c.steps)) << c.name;
        EXPECT_EQ(run.Press(), document) << c.name;
        EXPECT_EQ(run.editor.ChangeNotifications(), 0) << c.name;
        ASSERT_EQ(run.editor.Messages().size(), 1u) << c.name;
        EXPECT_EQ(run.editor.Messages()[0].kind, MessageKind::Error) << c.name;
    }
}

}  // namespace
}  // namespace velmor
