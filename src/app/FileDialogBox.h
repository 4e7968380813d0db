#pragma once

#include <QStringList>
#include <string_view>

#include "app/FileDialog.h"

class QFileDialog;
class QWidget;

namespace velmor {

// Qt name filters from a "description|pattern|…" filter: each description is kept as shown
// and its pattern follows in parentheses ("*.*" becomes "*", so every file matches).
QStringList ToQtNameFilters(std::string_view filter);

// Sets up Qt's file dialog as the program shows it: Qt's own widgets (which speak Chinese),
// the detail view with each file's type, size and date in Chinese whatever the system
// locale, the filter's descriptions as they stand (without Qt's copy of the patterns), the
// first preselected, and every column as wide as its widest entry once the folder is listed.
void PrepareFileDialog(QFileDialog& dialog, std::string_view filter);

// The FileDialog on QFileDialog, shown blocking over parent.
class FileDialogBox : public FileDialog {
public:
    explicit FileDialogBox(QWidget* parent = nullptr) : m_parent(parent) {}

    bool Show(FileDialogKind kind, const std::string& title) override;

private:
    QWidget* m_parent;
};

}  // namespace velmor
