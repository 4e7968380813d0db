#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/EditorAccess.h"
#include "core/Services.h"

namespace velmor {

struct DialogDefinition;
class DialogFields;
struct PieceMap;

// What a command works with while it runs.
struct CommandContext {
    EditorAccess& editor;
    Services& services;
};

using CommandFunction = std::function<void(CommandContext&)>;

// One leaf item of the menu. Registered once; the menu, the batch runner and the tests all
// reach the command through this entry.
struct Command {
    std::string caption;   // as in the menu, UTF-8, access-key prefix included ("&R.基本替换")
    std::string shortcut;  // portable key text ("Ctrl+K", "Shift+F3"), empty for none
    bool supportNotice = false;  // runs SupportNoticeStep after its action (or its dialog opened)
    bool windowOnly = false;     // acts on the window, selection or clipboard only
    bool needsUiThread = false;  // uses a service bound to the window thread (progress, HTTP)
    CommandFunction run;         // a direct command
    const DialogDefinition* dialog = nullptr;  // a dialog command
    // For a command that is a map of its text: the map it applies, given its dialog's fields
    // as the action button would find them (none for a direct command), or nullptr when those
    // fields make it something else. Where the map applies, the command writes the map of the
    // text and shows no message, unless a map that grows the text would pass the size limit
    // (MaxResultBytes): then it refuses as it says. Its dialog's handlers before the action
    // look at the fields only.
    std::function<const PieceMap*(const DialogFields*)> pieceMap;

    // The caption without its access-key prefix: "&R.基本替换" gives "基本替换".
    std::string Name() const;
    // Whether anything stands behind the entry yet (window-only ones are bound by the window).
    bool IsImplemented() const { return run || dialog != nullptr; }
};

class CommandRegistry {
public:
    // Adds or, for a caption already present, replaces the entry.
    void Add(Command command);
    // Adds a dialog command that runs the support-notice step once its dialog is open.
    void AddDialog(std::string caption, std::string shortcut, const DialogDefinition& dialog);
    const Command* FindByCaption(std::string_view caption) const;
    // By the caption without its access-key prefix, as the batch runner names commands.
    const Command* FindByName(std::string_view name) const;
    const std::vector<Command>& All() const { return m_commands; }

    // Runs a direct command, then the support-notice step if the command has one.
    static void RunDirect(const Command& command, CommandContext& context);

private:
    std::vector<Command> m_commands;
    std::map<std::string, std::size_t, std::less<>> m_byCaption;
};

// Every command of every menu, each subsystem's registrations included.
CommandRegistry BuildCommandRegistry();

// Per-subsystem registrations, called by BuildCommandRegistry.
void RegisterWindowCommands(CommandRegistry& registry);
void RegisterTransformCommands(CommandRegistry& registry);
void RegisterFilterLineBreakCommands(CommandRegistry& registry);
void RegisterCodecCommands(CommandRegistry& registry);
void RegisterGenerateCommands(CommandRegistry& registry);
void RegisterSearchCommands(CommandRegistry& registry);
void RegisterPositionTimeCommands(CommandRegistry& registry);
void RegisterParagraphCommands(CommandRegistry& registry);
void RegisterFilesCommands(CommandRegistry& registry);
void RegisterScriptCommands(CommandRegistry& registry);

}  // namespace velmor
