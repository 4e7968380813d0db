#pragma once

#include "core/DialogFields.h"

namespace velmor {

// The dialogs of the paragraph commands under "段" and of the space commands under "空格",
// each built once; their action buttons run the commands on the document.
const DialogDefinition& InsertNumberedTextDialog();    // "插入序号文本"
const DialogDefinition& InsertFixedTextDialog();       // "插入固定文本"
const DialogDefinition& InsertWholeParagraphDialog();  // "插入整段"
const DialogDefinition& DeleteKeepParagraphsDialog();  // "删除/保留段"
const DialogDefinition& ParagraphPartDialog();         // "段部分", menu "删除/保留段部分"
const DialogDefinition& MergeParagraphsDialog();       // "段合并", menu "合并"
const DialogDefinition& IndentParagraphsDialog();      // "段前空格", menu "段前增减"
const DialogDefinition& DeleteSpacesDialog();          // "删除空格", menu "删除"

}  // namespace velmor
