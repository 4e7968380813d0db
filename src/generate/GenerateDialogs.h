#pragma once

#include "core/DialogFields.h"

namespace velmor {

// The dialogs of the "生成" menu, as the window's forms and the batch runner drive them.
const DialogDefinition& NumberedTextDialog();  // "生成带序号文本"
const DialogDefinition& VariableTextDialog();  // "变量文本："
const DialogDefinition& AccountsDialog();      // "生成账号密码"
const DialogDefinition& RandomTextDialog();    // "随机文本"

// UpdateAccountFields: enables each length field of the accounts dialog exactly while the
// radio button it belongs to is checked; the texts stay as they are.
void UpdateAccountFields(DialogFields& fields);

}  // namespace velmor
