#include "script/ScriptCommands.h"

namespace velmor {

namespace {

void RunScript(CommandContext& context, const char* fileName) {
    FileSystem* files = context.services.files;
    DesktopShell* shell = context.services.shell;
    if (files == nullptr || shell == nullptr) {
        return;
    }
    std::string path;
    // Opening the path after a failed write would run whatever script was left there before.
    if (const std::string reason =
            files->SaveScript(fileName, context.editor.LendText().Get(), path);
        !reason.empty()) {
        context.editor.ShowMessage(MessageKind::Error,
                                   "脚本文件未能写入：" + path + "（" + reason + "）", kErrorTitle);
        return;
    }
    if (shell->Open(path) == DesktopShell::Outcome::NoProgram) {
        context.editor.ShowMessage(MessageKind::Information,
                                   "脚本已保存到 " + path + "，但没有与之关联的程序可以运行它。",
                                   kInformationTitle);
    }
}

}  // namespace

void RunAsVbs(CommandContext& context) {
    RunScript(context, "ls.vbs");
}

void RunAsBat(CommandContext& context) {
    RunScript(context, "ls.bat");
}

}  // namespace velmor
