#include "app/FormWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/CodePage936.h"

namespace velmor {

std::optional<ControlKind> FormControlKind(const QWidget& widget) {
    if (widget.objectName().isEmpty() || widget.objectName().startsWith(QLatin1String("qt_"))) {
        return std::nullopt;
    }
    if (qobject_cast<const QLabel*>(&widget)) {
        return ControlKind::Label;
    }
    if (qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget)) {
        return ControlKind::EditBox;
    }
    if (qobject_cast<const QCheckBox*>(&widget)) {
        return ControlKind::CheckBox;
    }
    if (qobject_cast<const QRadioButton*>(&widget)) {
        return ControlKind::RadioButton;
    }
    if (qobject_cast<const QPushButton*>(&widget)) {
        return ControlKind::Button;
    }
    if (qobject_cast<const QComboBox*>(&widget)) {
        return ControlKind::DropDown;
    }
    if (qobject_cast<const QListWidget*>(&widget)) {
        return ControlKind::ListBox;
    }
    if (qobject_cast<const QTreeWidget*>(&widget)) {
        return ControlKind::ListView;
    }
    if (qobject_cast<const QGroupBox*>(&widget)) {
        return ControlKind::GroupBox;
    }
    if (qobject_cast<const QTabWidget*>(&widget)) {
        return ControlKind::Tab;
    }
    return std::nullopt;
}

namespace {

bool HasCaption(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Button ||
           kind == ControlKind::CheckBox || kind == ControlKind::RadioButton ||
           kind == ControlKind::GroupBox;
}

QString FormCaption(const QWidget& widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        return group->title();
    }
    return {};
}

QString FormText(const QWidget& widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(&widget)) {
        return line->text();
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&widget)) {
        // The box's CR LF line breaks show as bare LF.
        return plain->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    return {};
}

void CompareControl(const QWidget& widget, const Control& control,
                    std::vector<std::string>& differences) {
    const std::string where = control.name + ": ";
    if (FormControlKind(widget) != control.kind) {
        differences.push_back(where + "the form's widget is of another kind");
        return;
    }
    if (HasCaption(control.kind) && FormCaption(widget).toStdString() != control.caption) {
        differences.push_back(where + "caption \"" + FormCaption(widget).toStdString() +
                              "\" in the form, \"" + control.caption + "\" in the dialog");
    }
    if (control.kind == ControlKind::EditBox &&
        FormText(widget) != QString::fromStdString(GbkToUtf8(control.text))) {
        differences.push_back(where + "default text differs");
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget);
        button != nullptr && button->isCheckable() && button->isChecked() != control.checked) {
        differences.push_back(where + "checked state differs");
    }
    if (widget.testAttribute(Qt::WA_ForceDisabled) == control.enabled) {
        differences.push_back(where + "enabled state differs");
    }
    if (widget.isHidden() == control.visible) {
        differences.push_back(where + "visibility differs");
    }
    // What a box takes when typed is the dialog's to say, so that it can change with a mode.
    if (widget.property("digitsOnly").isValid() || widget.property("minusAllowed").isValid()) {
        differences.push_back(where + "typed-input rule set in the form");
    }
}

}  // namespace

std::vector<std::string> CompareFormWithFields(const QWidget& form, const DialogFields& fields) {
    std::vector<std::string> differences;
    for (const Control& control : fields.Controls()) {
        const auto* widget = form.findChild<const QWidget*>(QString::fromStdString(control.name));
        if (widget == nullptr) {
            differences.push_back(control.name + ": no widget of that name in the form");
            continue;
        }
        CompareControl(*widget, control, differences);
    }
    for (const QWidget* widget : form.findChildren<const QWidget*>()) {
        if (IsFormControl(*widget) && fields.Find(widget->objectName().toStdString()) == nullptr) {
            differences.push_back(widget->objectName().toStdString() +
                                  ": widget of the form with no control behind it");
        }
    }
    return differences;
}

}  // namespace velmor
