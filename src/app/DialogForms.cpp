#include "app/DialogHost.h"

namespace velmor {

void RegisterFilesForms(DialogHost& host);

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterFilesForms(host);
}

}  // namespace velmor
