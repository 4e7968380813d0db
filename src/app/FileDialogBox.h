#pragma once

#include <QStringList>
#include <string_view>

#include "app/FileDialog.h"

class QWidget;

namespace velmor {

// Qt name filters from a "description|pattern|…" filter: each description is kept as shown
// and its pattern follows in parentheses ("*.*" becomes "*", so every file matches).
QStringList ToQtNameFilters(std::string_view filter);

// The FileDialog on QFileDialog, shown blocking over parent.
class FileDialogBox : public FileDialog {
public:
    explicit FileDialogBox(QWidget* parent = nullptr) : m_parent(parent) {}

    bool Show(FileDialogKind kind, const std::string& title) override;

private:
    QWidget* m_parent;
};

}  // namespace velmor
