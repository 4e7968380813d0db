#include "app/FormDialog.h"
#include "files/FetchPage.h"
#include "files/dialogs/BatchWindow.h"
#include "ui_FetchPageDialog.h"

namespace velmor {

void RegisterFilesForms(DialogHost& host) {
    RegisterForm<Ui::FetchPageDialog>(host, "取网址源码", FetchPageDefinition());
    // The run's batch window is made once at start-up; these fresh ones, one per tab, are
    // what the user-interface dump shows.
    for (BatchTab tab : {BatchTab::MergeSplit, BatchTab::HeadTail, BatchTab::Encoding}) {
        host.Register(BatchTabCommand(tab), [&host, tab](CommandContext& context) -> QWidget* {
            return new BatchWindow(tab, context, host);
        });
    }
}

}  // namespace velmor
