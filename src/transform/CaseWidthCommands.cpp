#include "core/CommandRegistry.h"

namespace velmor {

void RegisterTransformCommands(CommandRegistry&) {}

}  // namespace velmor
