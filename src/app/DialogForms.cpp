#include "app/DialogHost.h"

namespace velmor {

void RegisterCodecForms(DialogHost& host);
void RegisterFilterLineBreakForms(DialogHost& host);
void RegisterGenerateForms(DialogHost& host);

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterCodecForms(host);
    RegisterFilterLineBreakForms(host);
    RegisterGenerateForms(host);
}

}  // namespace velmor
