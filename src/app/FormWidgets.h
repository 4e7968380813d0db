#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "core/DialogFields.h"

namespace velmor {

// The control kind a form widget shows (QLineEdit and QPlainTextEdit are edit boxes, QTreeWidget
// a list view, ...); none for layout containers and Qt's own parts.
std::optional<ControlKind> FormControlKind(const QWidget& widget);
inline bool IsFormControl(const QWidget& widget) {
    return FormControlKind(widget).has_value();
}

// Where a Designer form, as set up and before any field is shown, says something else than the
// dialog's freshly opened fields: a control without its widget, a widget of another kind, a
// caption, default text, check or enabled state that differs, or a control widget that no
// field stands behind. One line per difference; empty when they agree.
std::vector<std::string> CompareFormWithFields(const QWidget& form, const DialogFields& fields);

}  // namespace velmor
