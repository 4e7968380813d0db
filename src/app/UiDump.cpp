#include "app/UiDump.h"

#include <Qsci/qsciscintilla.h>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QValidator>

#include "app/MainWindow.h"
#include "app/SupportNoticeWindow.h"

namespace velmor {

namespace {

QJsonObject Geometry(const QRect& rect) {
    return {{"x", rect.x()}, {"y", rect.y()}, {"width", rect.width()}, {"height", rect.height()}};
}

// Controls whose child widgets are their own internals.
bool IsLeaf(const QWidget& widget) {
    return qobject_cast<const QsciScintilla*>(&widget) || qobject_cast<const QComboBox*>(&widget) ||
           qobject_cast<const QAbstractSpinBox*>(&widget) ||
           qobject_cast<const QLineEdit*>(&widget) ||
           qobject_cast<const QAbstractItemView*>(&widget) ||
           qobject_cast<const QTextEdit*>(&widget) ||
           qobject_cast<const QPlainTextEdit*>(&widget) || qobject_cast<const QTabBar*>(&widget);
}

QJsonValue ItemText(const QAbstractItemModel& model, int row, const QModelIndex& parent) {
    const int columns = model.columnCount(parent);
    if (columns <= 1) {
        return model.index(row, 0, parent).data().toString();
    }
    QJsonArray cells;
    for (int column = 0; column < columns; ++column) {
        cells.append(model.index(row, column, parent).data().toString());
    }
    return cells;
}

// What typing into the box can give, asked of its validator: whether a letter is refused, and
// whether a minus sign is taken.
void AddTypedInput(const QLineEdit& line, QJsonObject& out) {
    const QValidator* validator = line.validator();
    const auto takes = [validator](QString text) {
        int position = 0;
        return validator == nullptr || validator->validate(text, position) != QValidator::Invalid;
    };
    out["digitsOnly"] = !takes(QStringLiteral("a"));
    out["minusSign"] = takes(QStringLiteral("-"));
}

void AddText(const QWidget& widget, QJsonObject& out) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        out["text"] = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        out["text"] = button->text();
        if (button->isCheckable()) {
            out["checked"] = button->isChecked();
        }
    } else if (const auto* line = qobject_cast<const QLineEdit*>(&widget)) {
        out["text"] = line->text();
        out["readOnly"] = line->isReadOnly();
        AddTypedInput(*line, out);
        if (line->echoMode() != QLineEdit::Normal) {
            out["password"] = true;
        }
    } else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&widget)) {
        out["text"] = plain->toPlainText();
    } else if (const auto* rich = qobject_cast<const QTextEdit*>(&widget)) {
        out["text"] = rich->toPlainText();
    } else if (const auto* scintilla = qobject_cast<const QsciScintilla*>(&widget)) {
        out["text"] = scintilla->text();
    } else if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(&widget)) {
        out["text"] = spin->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        out["text"] = group->title();
        if (group->isCheckable()) {
            out["checked"] = group->isChecked();
        }
    }
}

void AddItems(const QWidget& widget, QJsonObject& out) {
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        QJsonArray items;
        for (int i = 0; i < combo->count(); ++i) {
            items.append(combo->itemText(i));
        }
        out["items"] = items;
        out["currentIndex"] = combo->currentIndex();
        out["text"] = combo->currentText();
    } else if (const auto* view = qobject_cast<const QAbstractItemView*>(&widget);
               view != nullptr && view->model() != nullptr) {
        const QAbstractItemModel& model = *view->model();
        QJsonArray items;
        for (int row = 0; row < model.rowCount(view->rootIndex()); ++row) {
            items.append(ItemText(model, row, view->rootIndex()));
        }
        out["items"] = items;
        if (model.columnCount(view->rootIndex()) > 1) {
            QJsonArray headers;
            for (int column = 0; column < model.columnCount(view->rootIndex()); ++column) {
                headers.append(model.headerData(column, Qt::Horizontal).toString());
            }
            out["columns"] = headers;
        }
    } else if (const auto* tabs = qobject_cast<const QTabWidget*>(&widget)) {
        QJsonArray items;
        for (int i = 0; i < tabs->count(); ++i) {
            items.append(tabs->tabText(i));
        }
        out["tabs"] = items;
        out["currentIndex"] = tabs->currentIndex();
    }
}

void AddChildren(const QWidget& widget, QJsonArray& children) {
    for (const QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || qobject_cast<const QScrollBar*>(child) ||
            qobject_cast<const QMenuBar*>(child)) {
            continue;
        }
        // Qt's own containers (tab stacks, scroll-area viewports) are looked through.
        if (child->objectName().startsWith(QLatin1String("qt_")) && !IsLeaf(*child)) {
            AddChildren(*child, children);
            continue;
        }
        children.append(DumpWidget(*child));
    }
}

QJsonObject DumpAction(QAction& action) {
    QJsonObject out{{"objectName", action.objectName()},
                    {"visible", action.isVisible()},
                    {"enabled", action.isEnabled()}};
    if (action.isSeparator()) {
        out["separator"] = true;
        return out;
    }
    out["text"] = action.text();
    out["shortcut"] = action.shortcut().toString(QKeySequence::PortableText);
    if (QMenu* menu = action.menu()) {
        QJsonArray children;
        for (QAction* child : menu->actions()) {
            children.append(DumpAction(*child));
        }
        out["children"] = children;
    }
    return out;
}

}  // namespace

QJsonObject DumpWidget(const QWidget& widget) {
    QJsonObject out{
        {"objectName", widget.objectName()},
        {"class", QString::fromLatin1(widget.metaObject()->className())},
        {"enabled", widget.isEnabled()},
        {"visible", widget.isWindow() ? widget.isVisible() : widget.isVisibleTo(widget.window())},
        {"geometry", Geometry(widget.geometry())}};
    if (widget.isWindow()) {
        out["windowTitle"] = widget.windowTitle();
    }
    if (!widget.toolTip().isEmpty()) {
        out["toolTip"] = widget.toolTip();
    }
    AddText(widget, out);
    AddItems(widget, out);
    if (!IsLeaf(widget)) {
        QJsonArray children;
        AddChildren(widget, children);
        out["children"] = children;
    }
    return out;
}

QJsonArray DumpMenuBar(const QMenuBar& bar) {
    QJsonArray menus;
    for (QAction* action : bar.actions()) {
        menus.append(DumpAction(*action));
    }
    return menus;
}

QJsonDocument DumpUserInterface(MainWindow& window) {
    // The window is never shown: settle its layout so the geometry is what it would show.
    window.ensurePolished();
    if (window.layout() != nullptr) {
        window.layout()->activate();
    }
    QJsonObject main = DumpWidget(window);
    main["frameGeometry"] = Geometry(window.frameGeometry());
    main["menu"] = DumpMenuBar(*window.menuBar());

    QJsonObject dialogs;
    DialogHost& host = window.Dialogs();
    for (const std::string& caption : host.Captions()) {
        if (QWidget* open = host.Find(caption)) {
            delete open;
        }
        QWidget* dialog = host.Open(caption);
        if (dialog == nullptr) {
            continue;
        }
        QCoreApplication::processEvents();
        dialogs[QString::fromStdString(caption)] = DumpWidget(*dialog);
        delete dialog;
    }
    SupportNoticeWindow notice(window.DaysInUse());
    notice.show();
    QCoreApplication::processEvents();
    const QJsonObject noticeDump = DumpWidget(notice);
    notice.close();
    return QJsonDocument(
        QJsonObject{{"mainWindow", main}, {"dialogs", dialogs}, {"supportNotice", noticeDump}});
}

bool WriteUserInterfaceDump(MainWindow& window, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(DumpUserInterface(window).toJson(QJsonDocument::Indented));
    return file.commit();
}

}  // namespace velmor
