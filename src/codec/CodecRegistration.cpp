#include "codec/CodecDialog.h"
#include "core/CommandRegistry.h"

namespace velmor {

void RegisterCodecCommands(CommandRegistry& registry) {
    Command command;
    command.caption = "编码/解码";
    command.dialog = &CodecDialog();
    registry.Add(std::move(command));
}

}  // namespace velmor
