#include "script/ScriptCommands.h"

namespace velmor {

// The two commands of the menu "脚本"; neither asks anything nor runs the support notice.
void RegisterScriptCommands(CommandRegistry& registry) {
    Command vbs;
    vbs.caption = "运行VBS";
    vbs.shortcut = "F8";
    vbs.run = RunAsVbs;
    vbs.needsUiThread = true;
    registry.Add(std::move(vbs));
    Command bat;
    bat.caption = "运行BAT";
    bat.shortcut = "F9";
    bat.run = RunAsBat;
    bat.needsUiThread = true;
    registry.Add(std::move(bat));
}

}  // namespace velmor
