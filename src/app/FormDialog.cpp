#include "app/FormDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/FormWidgets.h"
#include "core/CodePage936.h"

namespace velmor {

namespace {

QString ToQString(const Text& text) {
    return QString::fromUtf8(GbkToUtf8(text));
}

Text FromQString(const QString& text) {
    return Utf8ToGbk(text.toUtf8().toStdString());
}

// A multi-line edit box holds CR LF line breaks; the widget shows and returns bare LF.
QString ToMultiLineQString(const Text& text) {
    return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

Text FromMultiLineQString(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return FromQString(text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

QStringList ToQStrings(const std::vector<Text>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const Text& text : texts) {
        list.append(ToQString(text));
    }
    return list;
}

QStringList Utf8Strings(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list.append(QString::fromStdString(text));
    }
    return list;
}

void ShowCaption(QWidget& widget, const Control& control) {
    if (control.caption.empty()) {
        return;
    }
    const QString caption = QString::fromStdString(control.caption);
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(caption);
    }
}

void ShowListView(QTreeWidget& view, const Control& control) {
    if (!control.columns.empty()) {
        view.setHeaderLabels(Utf8Strings(control.columns));
    }
    const int rows = static_cast<int>(control.rows.size());
    bool same = view.topLevelItemCount() == rows;
    for (int row = 0; same && row < rows; ++row) {
        const QTreeWidgetItem* item = view.topLevelItem(row);
        const TextList& cells = control.rows[static_cast<std::size_t>(row)];
        for (std::size_t column = 0; same && column < cells.size(); ++column) {
            same = item->text(static_cast<int>(column)) == ToQString(cells[column]);
        }
    }
    if (!same) {
        view.clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(rows);
        for (const TextList& cells : control.rows) {
            items.append(new QTreeWidgetItem(ToQStrings(cells)));
        }
        view.addTopLevelItems(items);
    }
    QTreeWidgetItem* current =
        control.currentIndex >= 0 ? view.topLevelItem(control.currentIndex) : nullptr;
    if (view.currentItem() != current) {
        view.setCurrentItem(current);
    }
}

// What a digits-only box takes when typed; an empty pattern for a box that takes anything.
QString TypedPattern(const Control& control) {
    if (!control.digitsOnly) {
        return {};
    }
    return control.minusAllowed ? QStringLiteral("[-0-9]*") : QStringLiteral("[0-9]*");
}

void ShowTypedInput(QLineEdit& line, const Control& control) {
    const QString pattern = TypedPattern(control);
    const QValidator* old = line.validator();
    const auto* current = qobject_cast<const QRegularExpressionValidator*>(old);
    if ((current ? current->regularExpression().pattern() : QString()) == pattern) {
        return;
    }
    line.setValidator(pattern.isEmpty()
                          ? nullptr
                          : new QRegularExpressionValidator(QRegularExpression(pattern), &line));
    if (old != nullptr && old->parent() == &line) {
        delete old;
    }
}

void ShowControl(QWidget& widget, const Control& control) {
    ShowCaption(widget, control);
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        ShowTypedInput(*line, control);
        const QString text = ToQString(control.text);
        if (line->text() != text) {
            line->setText(text);
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&widget)) {
        const QString text = ToMultiLineQString(control.text);
        if (plain->toPlainText() != text) {
            plain->setPlainText(text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget);
               button != nullptr && button->isCheckable()) {
        button->setChecked(control.checked);
    } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        const QStringList items = ToQStrings(control.items);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) {
            shown.append(combo->itemText(i));
        }
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setCurrentIndex(control.currentIndex);
    } else if (auto* list = qobject_cast<QListWidget*>(&widget)) {
        const QStringList items = ToQStrings(control.items);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            shown.append(list->item(i)->text());
        }
        if (shown != items) {
            list->clear();
            list->addItems(items);
        }
        if (list->currentRow() != control.currentIndex) {
            list->setCurrentRow(control.currentIndex);
        }
    } else if (auto* view = qobject_cast<QTreeWidget*>(&widget)) {
        ShowListView(*view, control);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
        if (control.currentIndex >= 0 && tabs->currentIndex() != control.currentIndex) {
            tabs->setCurrentIndex(control.currentIndex);
        }
    }
    widget.setEnabled(control.enabled);
    if (widget.isHidden() == control.visible) {
        widget.setHidden(!control.visible);
    }
}

}  // namespace

FormDialog::FormDialog(const DialogDefinition& definition, CommandContext& context,
                       const DialogHost& host)
    : m_host(host), m_session(definition, context) {}

void FormDialog::Bind() {
    m_formDifferences = CompareFormWithFields(*this, m_session.Fields());
    for (const Control& control : m_session.Fields().Controls()) {
        auto* widget = findChild<QWidget*>(QString::fromStdString(control.name));
        if (widget == nullptr || !IsFormControl(*widget)) {
            continue;
        }
        Binding binding{control.name, widget};
        Connect(binding);
        m_bindings.push_back(std::move(binding));
    }
    // The action button is the default, as in a dialog box; a dialog whose buttons are two
    // actions has none, so that Enter never guesses between them.
    SetDefaultButton(m_session.Definition().actionButton);
    ShowFields();
}

void FormDialog::SetDefaultButton(const std::string& name) {
    if (auto* button = findChild<QPushButton*>(QString::fromStdString(name));
        button != nullptr && !name.empty()) {
        button->setDefault(true);
    }
}

void FormDialog::ShowFields() {
    m_showing = true;
    setWindowTitle(QString::fromStdString(m_session.Fields().Title()));
    for (const Binding& binding : m_bindings) {
        if (const Control* control = m_session.Fields().Find(binding.name)) {
            ShowControl(*binding.widget, *control);
        }
    }
    m_showing = false;
}

void FormDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window does not follow its layout's height for width, so a wrapped label would keep
    // the height of one line: the dialog keeps, at its width, the height the wrap needs.
    QLayout* form = layout();
    if (form == nullptr || !form->hasHeightForWidth()) {
        return;
    }
    form->activate();
    const int needed = form->totalHeightForWidth(width());
    if (needed > minimumHeight()) {
        setMinimumSize(width(), needed);
    }
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button == nullptr) {
        // On the batch window only the shown tab's default button is visible.
        for (QPushButton* candidate : findChildren<QPushButton*>()) {
            if (candidate->isDefault() && candidate->isVisible()) {
                button = candidate;
                break;
            }
        }
    }
    if (button == nullptr || !button->isEnabled() || !button->isVisible()) {
        QWidget::keyPressEvent(event);
        return;
    }
    button->click();
}

void FormDialog::Act(const std::function<void()>& action) {
    if (m_showing) {
        return;
    }
    action();
    ShowFields();
}

void FormDialog::Connect(const Binding& binding) {
    const std::string name = binding.name;
    QWidget* widget = binding.widget;
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        connect(line, &QLineEdit::textEdited, this, [this, name](const QString& text) {
            Act([&] { m_session.SetEditText(name, FromQString(text)); });
        });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(plain, &QPlainTextEdit::textChanged, this, [this, name, plain] {
            Act([&] { m_session.SetEditText(name, FromMultiLineQString(plain->toPlainText())); });
        });
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        // The fields keep each group exclusive, whatever widgets the form puts together.
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::clicked, this,
                [this, name] { Act([&] { m_session.ClickRadio(name); }); });
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        connect(check, &QCheckBox::clicked, this,
                [this, name](bool checked) { Act([&] { m_session.SetChecked(name, checked); }); });
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        connect(button, &QPushButton::clicked, this,
                [this, name] { Act([&] { m_host.RunPress(m_session, name); }); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::activated, this, [this, name, combo](int index) {
            Act([&] { m_session.SelectDropDownItem(name, FromQString(combo->itemText(index))); });
        });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::currentRowChanged, this,
                [this, name](int row) { Act([&] { m_session.SelectRow(name, row); }); });
    } else if (auto* view = qobject_cast<QTreeWidget*>(widget)) {
        connect(view, &QTreeWidget::currentItemChanged, this,
                [this, name, view](QTreeWidgetItem* current) {
                    const int row = current == nullptr ? -1 : view->indexOfTopLevelItem(current);
                    Act([&] { m_session.SelectRow(name, row); });
                });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        connect(tabs, &QTabWidget::currentChanged, this, [this, name](int index) {
            Act([&] { m_session.Fields().At(name).currentIndex = index; });
        });
    }
}

}  // namespace velmor
