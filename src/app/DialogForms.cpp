#include "app/DialogHost.h"
#include "search/dialogs/SearchForms.h"

namespace velmor {

void RegisterGenerateForms(DialogHost& host);

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterGenerateForms(host);
    RegisterSearchForms(host);
void RegisterParagraphForms(DialogHost& host);

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterParagraphForms(host);
}

}  // namespace velmor
