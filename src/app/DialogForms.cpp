#include "app/DialogHost.h"

namespace velmor {

void RegisterGenerateForms(DialogHost& host);

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterGenerateForms(host);
}

}  // namespace velmor
