#include "app/DialogHost.h"

namespace velmor {

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost&) {}

}  // namespace velmor
