#include "app/DialogHost.h"
#include "search/dialogs/SearchForms.h"

namespace velmor {

// Each subsystem adds its forms here as they are built.
void RegisterDialogForms(DialogHost& host) {
    RegisterSearchForms(host);
}

}  // namespace velmor
