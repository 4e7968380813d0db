#include "app/DialogHost.h"

namespace velmor {

void RegisterParagraphForms(DialogHost& host);

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterParagraphForms(host);
}

}  // namespace velmor
