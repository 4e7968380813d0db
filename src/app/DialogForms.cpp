#include "app/DialogHost.h"
#include "search/dialogs/SearchForms.h"

namespace velmor {

void RegisterCodecForms(DialogHost& host);
void RegisterFilterLineBreakForms(DialogHost& host);
void RegisterGenerateForms(DialogHost& host);
void RegisterParagraphForms(DialogHost& host);
void RegisterFilesForms(DialogHost& host);

// Every subsystem's dialog forms.
void RegisterDialogForms(DialogHost& host) {
    RegisterCodecForms(host);
    RegisterFilterLineBreakForms(host);
    RegisterGenerateForms(host);
    RegisterSearchForms(host);
    RegisterParagraphForms(host);
    RegisterFilesForms(host);
}

}  // namespace velmor
