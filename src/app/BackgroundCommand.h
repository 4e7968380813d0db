#pragma once

#include <QObject>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/CommandRegistry.h"

class QEventLoop;
class QWidget;

namespace velmor {

// Documents of this many bytes and more have their commands run on a worker thread.
inline constexpr std::size_t kBackgroundTextBytes = std::size_t{4} << 20;

// Runs the commands of large documents on a worker thread, so that the window repaints while
// they work and the user can give up waiting. The command runs against a DeferredEditor over
// a snapshot of the document; its messages are shown here and answered back; its writes are
// made here when it ends, so that the editor, its undo history and its notifications see
// exactly what a run on this thread would have done. Runs one command at a time.
class BackgroundCommand {
public:
    using Job = std::function<void(CommandContext&)>;
    enum class Outcome { Finished, Cancelled };
    // Makes a whole new text that a job wrote ready for the editor, on the worker once the job
    // has ended; returns what to do on this thread before the job's writes are made (null for
    // nothing), so that writing the text there costs no conversion.
    using Preparation = std::function<std::function<void()>(const SharedText&)>;

    explicit BackgroundCommand(QWidget& window);
    // Waits for a worker that a cancel left running.
    ~BackgroundCommand();
    BackgroundCommand(const BackgroundCommand&) = delete;
    BackgroundCommand& operator=(const BackgroundCommand&) = delete;

    // Runs job on the worker with the editor's text, selection and flag, and returns when it
    // has ended or the user cancelled. Nothing the user does reaches the window meanwhile:
    // the first half second waits here, after that a modal progress window titled name
    // shows. Finished: the job's writes were made on editor (an exception of the job is
    // thrown again here). Cancelled: editor untouched; the worker's result is dropped.
    Outcome Run(const std::string& name, EditorAccess& editor, const Services& services, Job job);

    // Large texts a job writes are made ready this way from now on.
    void SetPreparation(Preparation preparation) { m_preparation = std::move(preparation); }

    // Whether a worker left by a cancel is still running; the next job waits for it.
    bool Busy() const;
    // How many jobs went to a worker, for the window's tests.
    int Runs() const { return m_runs; }

private:
    struct Exchange;

    // Waits, without an event loop, until the job ends or the quiet time is over, showing
    // what the worker asks meanwhile; true when the job ended.
    bool WaitQuietly(Exchange& exchange);
    // Shows the progress window until the job ends; false when it did not (the user
    // cancelled).
    bool WaitWithProgress(const std::string& name, Exchange& exchange);
    void Wake();

    QWidget& m_window;
    // Receives the worker's wake-ups on this thread.
    QObject m_receiver;
    std::shared_ptr<Exchange> m_current;
    std::shared_ptr<Exchange> m_last;
    // The last worker started; each worker first waits for the one before it.
    std::thread m_worker;
    QEventLoop* m_loop = nullptr;
    Preparation m_preparation;
    int m_runs = 0;
};

}  // namespace velmor
