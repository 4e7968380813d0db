#include "app/IdleWrapStopper.h"

#include <Qsci/qsciscintillabase.h>

#include <QCoreApplication>
#include <QTimer>

namespace velmor {

IdleWrapStopper::IdleWrapStopper(QsciScintillaBase& editor) : QObject(&editor) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return;
    }
    // The inner object is not reachable from the widget; the timer it makes on the first
    // request for idle work announces it to its parent, which is the inner object.
    application->installEventFilter(this);
    editor.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE,
                         static_cast<unsigned long>(QsciScintillaBase::SC_WRAP_WORD));
    application->removeEventFilter(this);
    if (m_inner == nullptr) {
        return;
    }
    for (QTimer* timer : m_inner->findChildren<QTimer*>(Qt::FindDirectChildrenOnly)) {
        timer->stop();
        timer->installEventFilter(this);
    }
}

bool IdleWrapStopper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded && m_inner == nullptr && watched->parent() == nullptr &&
        !watched->isWidgetType()) {
        m_inner = watched;
        return false;
    }
    if (event->type() == QEvent::Timer) {
        if (auto* timer = qobject_cast<QTimer*>(watched)) {
            timer->stop();
            return true;
        }
    }
    return false;
}

}  // namespace velmor
