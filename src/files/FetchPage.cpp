#include "files/FetchPage.h"

#include "core/Numbers.h"
#include "core/Services.h"
#include "core/TextPrimitives.h"

namespace velmor {

namespace {

void Fetch(DialogFields& fields, CommandContext& context) {
    if (context.services.http == nullptr) {
        return;
    }
    const Text address = FetchAddress(fields.TextOf("编辑框1"));
    HttpClient::Result result;
    if (IsFetchableAddress(address)) {
        result = context.services.http->Get(address, nullptr);
    } else {
        result.reason = "只能获取 http 或 https 网址";
    }
    // A failed fetch keeps the document: an empty page in its place would lose the text.
    if (!result.body) {
        context.editor.ShowMessage(MessageKind::Error, "获取网页失败：" + result.reason,
                                   kErrorTitle);
        return;
    }
    context.editor.ReplaceText(ToText(*result.body));
}

DialogDefinition MakeDefinition() {
    DialogDefinition definition;
    definition.title = "取网址源码";
    definition.createControls = [](DialogFields& fields) {
        fields.Add("分组框1", ControlKind::GroupBox).caption = "网址";
        fields.Add("编辑框1", ControlKind::EditBox);
        fields.Add("按钮1", ControlKind::Button).caption = "打开";
    };
    definition.onPress["按钮1"] = Fetch;
    definition.actionButton = "按钮1";
    return definition;
}

}  // namespace

const DialogDefinition& FetchPageDefinition() {
    static const DialogDefinition definition = MakeDefinition();
    return definition;
}

Text FetchAddress(const Text& field) {
    return TextLeft(field, 4) == "http" ? field : "http://" + field;
}

bool IsFetchableAddress(const Text& address) {
    return address.starts_with("http://") || address.starts_with("https://");
}

}  // namespace velmor
