#include "codec/CodecDialog.h"
#include "core/CommandRegistry.h"

namespace velmor {

void RegisterCodecCommands(CommandRegistry& registry) {
    Command command;
    command.caption = "编码/解码";
    command.dialog = &CodecDialog();
    command.pieceMap = [](const DialogFields* fields) {
        return fields != nullptr ? CodecPieceMap(*fields) : nullptr;
    };
    registry.Add(std::move(command));
}

}  // namespace velmor
