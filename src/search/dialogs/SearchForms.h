#pragma once

#include <QObject>

#include "search/Find.h"

namespace velmor {

class DialogHost;
class MainWindow;

// The forms of the replace and regular-expression dialogs.
void RegisterSearchForms(DialogHost& host);

// What search needs of the window itself: the run-long find state with its dialog and the
// F3 / Shift+F3 items, and the one regular-expression dialog shared by two menu items (a
// second item chosen while it is open sets the open dialog up for its mode and brings it to
// the front). A child of the window.
class SearchWindowCommands : public QObject {
    Q_OBJECT

public:
    explicit SearchWindowCommands(MainWindow& window);

private:
    void OpenFind();
    void OpenShared(const char* caption);

    MainWindow& m_window;
    FindState m_find;
    DialogDefinition m_findDialog;
};

}  // namespace velmor
