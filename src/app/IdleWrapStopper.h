#pragma once

#include <QObject>

class QsciScintillaBase;

namespace velmor {

// Scintilla wraps every line of a wrapped document in idle time, a few screens per turn of
// the event loop: a busy core for minutes after a large text is loaded or replaced. Its idle
// timer is stopped here before it first fires; the widget then takes its idle work for
// scheduled and never starts the timer again (a restart is stopped all the same). Painting
// still wraps the lines it shows, and the vertical scroll bar counts a line not yet wrapped
// as one display line, refined as lines are shown: layout work stays bounded by the screen.
class IdleWrapStopper : public QObject {
public:
    // Turns word wrap on, which makes the widget ask for idle work and so create the timer;
    // the caller sets the wrap mode it wants afterwards.
    explicit IdleWrapStopper(QsciScintillaBase& editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The widget's inner editor object, which owns the idle timer and has no parent.
    QObject* m_inner = nullptr;
};

}  // namespace velmor
