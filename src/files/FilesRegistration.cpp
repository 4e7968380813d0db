#include "files/BatchWindow.h"
#include "files/FetchPage.h"

namespace velmor {

// The batch window's three tabs and the web page fetch, under "&F.文件".
void RegisterFilesCommands(CommandRegistry& registry) {
    for (BatchTab tab : {BatchTab::MergeSplit, BatchTab::HeadTail, BatchTab::Encoding}) {
        Command command;
        command.caption = BatchTabCommand(tab);
        command.dialog = &BatchWindowDefinition(tab);
        command.needsUiThread = true;
        registry.Add(std::move(command));
    }
    Command fetch;
    fetch.caption = "取网址源码";
    fetch.supportNotice = true;
    fetch.dialog = &FetchPageDefinition();
    fetch.needsUiThread = true;
    registry.Add(std::move(fetch));
}

}  // namespace velmor
