#include "core/CommandRegistry.h"

namespace velmor {

std::string Command::Name() const {
    // "&R.基本替换" and "&A.关于..." carry an access-key prefix of "&", one letter and ".".
    if (caption.size() > 3 && caption[0] == '&' && caption[2] == '.') {
        return caption.substr(3);
    }
    return caption;
}

void CommandRegistry::Add(Command command) {
    auto found = m_byCaption.find(command.caption);
    if (found != m_byCaption.end()) {
        m_commands[found->second] = std::move(command);
        return;
    }
    m_byCaption.emplace(command.caption, m_commands.size());
    m_commands.push_back(std::move(command));
}

const Command* CommandRegistry::FindByCaption(std::string_view caption) const {
    auto found = m_byCaption.find(caption);
    return found == m_byCaption.end() ? nullptr : &m_commands[found->second];
}

const Command* CommandRegistry::FindByName(std::string_view name) const {
    for (const Command& command : m_commands) {
        if (command.Name() == name) {
            return &command;
        }
    }
    return nullptr;
}

void CommandRegistry::RunDirect(const Command& command, CommandContext& context) {
    command.run(context);
    if (command.supportNotice) {
        context.editor.SupportNoticeStep();
    }
}

void CommandRegistry::AddDialog(std::string caption, std::string shortcut,
                                const DialogDefinition& dialog) {
    Command command;
    command.caption = std::move(caption);
    command.shortcut = std::move(shortcut);
    command.supportNotice = true;
    command.dialog = &dialog;
    Add(std::move(command));
}

CommandRegistry BuildCommandRegistry() {
    CommandRegistry registry;
    RegisterWindowCommands(registry);
    RegisterTransformCommands(registry);
    RegisterFilterLineBreakCommands(registry);
    RegisterCodecCommands(registry);
    RegisterGenerateCommands(registry);
    RegisterSearchCommands(registry);
    RegisterPositionTimeCommands(registry);
    RegisterParagraphCommands(registry);
    RegisterFilesCommands(registry);
    RegisterScriptCommands(registry);
    return registry;
}

}  // namespace velmor
