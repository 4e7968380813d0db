#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenuBar>
#include <QString>
#include <QWidget>

namespace velmor {

class MainWindow;

// Any widget and its descendants: objectName, class, text or title, checked, enabled,
// visible, items of lists and drop-downs, tab captions, tooltip, geometry, children.
QJsonObject DumpWidget(const QWidget& widget);
// The menu bar as a tree of items: text, shortcut (portable text), visible, enabled,
// objectName, separator and children.
QJsonArray DumpMenuBar(const QMenuBar& bar);
// The main window (title, geometry, menu, widgets) and, keyed by command caption, every
// registered dialog as it stands freshly opened (the About window under "&A.关于..." once the
// window's commands are bound); each dialog is closed after its turn. The support notice, as
// it would show on this run's day count, goes under "supportNotice".
QJsonDocument DumpUserInterface(MainWindow& window);
// Writes DumpUserInterface to path; false when the file cannot be written.
bool WriteUserInterfaceDump(MainWindow& window, const QString& path);

}  // namespace velmor
