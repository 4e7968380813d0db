#include "app/BackgroundCommand.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "app/DeferredEditor.h"

namespace velmor {

namespace {

// Shorter runs show no progress window; the window is not repainted meanwhile.
constexpr int kQuietMilliseconds = 500;

}  // namespace

// What the worker and this thread share about one job.
struct BackgroundCommand::Exchange {
    std::mutex mutex;
    std::condition_variable changed;
    // Work the worker waits for this thread to do (showing a message), and whether it is done.
    std::function<void()> request;
    bool requestServed = false;
    bool done = false;
    // Set when the user cancelled: the worker asks nothing more and its result is dropped.
    bool abandoned = false;
    std::exception_ptr failure;
    // Posts a wake-up to this thread; null once abandoned.
    std::function<void()> wake;

    // On the worker: has this thread do the work and waits for it; false when abandoned.
    bool AskUi(std::function<void()> work) {
        std::unique_lock lock(mutex);
        if (abandoned) {
            return false;
        }
        request = std::move(work);
        requestServed = false;
        changed.notify_all();
        wake();
        changed.wait(lock, [this] { return requestServed || abandoned; });
        return requestServed;
    }

    void Finish(std::exception_ptr error) {
        std::lock_guard lock(mutex);
        failure = std::move(error);
        done = true;
        changed.notify_all();
        if (!abandoned) {
            wake();
        }
    }

    // On this thread: does the work the worker waits for, if any.
    void ServeRequest() {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex);
            work = std::exchange(request, nullptr);
        }
        if (!work) {
            return;
        }
        work();
        std::lock_guard lock(mutex);
        requestServed = true;
        changed.notify_all();
    }

    void Abandon() {
        std::lock_guard lock(mutex);
        abandoned = true;
        request = nullptr;
        wake = nullptr;
        changed.notify_all();
    }

    bool Done() {
        std::lock_guard lock(mutex);
        return done;
    }
};

BackgroundCommand::BackgroundCommand(QWidget& window) : m_window(window) {}

BackgroundCommand::~BackgroundCommand() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

bool BackgroundCommand::Busy() const {
    return m_last && !m_last->Done();
}

BackgroundCommand::Outcome BackgroundCommand::Run(const std::string& name, EditorAccess& editor,
                                                  const Services& services, Job job) {
    ++m_runs;
    auto exchange = std::make_shared<Exchange>();
    exchange->wake = [this] {
        QMetaObject::invokeMethod(
            &m_receiver, [this] { Wake(); }, Qt::QueuedConnection);
    };
    // The relay runs the message on this thread, where the editor lives; an abandoned job's
    // questions get Cancel without reaching it.
    auto relay = [exchange = exchange.get(), &editor](MessageKind kind, const std::string& text,
                                                      const std::string& title) {
        MessageAnswer answer =
            kind == MessageKind::Question ? MessageAnswer::Cancel : MessageAnswer::None;
        exchange->AskUi([&] { answer = editor.ShowMessage(kind, text, title); });
        return answer;
    };
    auto deferred = std::make_shared<DeferredEditor>(
        EditorSnapshot{editor.ReadSnapshot(), editor.SelectionStart(), editor.SelectionLength(),
                       editor.ModifiedFlag()},
        relay);
    // The services bound to this thread are not offered on the worker.
    Services workerServices = services;
    workerServices.progress = nullptr;
    workerServices.http = nullptr;
    workerServices.shell = nullptr;
    workerServices.scripts = nullptr;
    // The worker owns everything it touches, so that a cancel leaves nothing for it to lose.
    auto beforeWrites = std::make_shared<std::function<void()>>();
    m_worker = std::thread([exchange, deferred, services = workerServices, job = std::move(job),
                            preparation = m_preparation, beforeWrites,
                            previous = std::move(m_worker)]() mutable {
        if (previous.joinable()) {
            previous.join();
        }
        CommandContext context{*deferred, services};
        std::exception_ptr failure;
        try {
            job(context);
        } catch (...) {
            failure = std::current_exception();
        }
        const SharedText* replacement = deferred->LastReplacement();
        if (!failure && preparation && replacement != nullptr &&
            replacement->Size() >= kBackgroundTextBytes) {
            // Without it the text is converted where it is written, as it would be anyway.
            try {
                *beforeWrites = preparation(*replacement);
            } catch (...) {
                *beforeWrites = nullptr;
            }
        }
        exchange->Finish(std::move(failure));
    });
    m_last = exchange;
    m_current = exchange;
    const bool finished = WaitQuietly(*exchange) || WaitWithProgress(name, *exchange);
    m_current.reset();
    if (!finished) {
        exchange->Abandon();
        return Outcome::Cancelled;
    }
    if (exchange->failure) {
        std::rethrow_exception(exchange->failure);
    }
    if (*beforeWrites) {
        (*beforeWrites)();
    }
    deferred->ApplyTo(editor);
    return Outcome::Finished;
}

bool BackgroundCommand::WaitQuietly(Exchange& exchange) {
    QElapsedTimer clock;
    clock.start();
    std::unique_lock lock(exchange.mutex);
    while (!exchange.done) {
        if (exchange.request) {
            lock.unlock();
            exchange.ServeRequest();
            lock.lock();
            continue;
        }
        const qint64 left = kQuietMilliseconds - clock.elapsed();
        if (left <= 0) {
            return false;
        }
        exchange.changed.wait_for(lock, std::chrono::milliseconds(left));
    }
    return true;
}

bool BackgroundCommand::WaitWithProgress(const std::string& name, Exchange& exchange) {
    QProgressDialog progress(QString::fromUtf8("正在处理，请稍候…"), QString::fromUtf8("取消"), 0,
                             0, &m_window);
    progress.setObjectName(QStringLiteral("命令进度"));
    progress.setWindowTitle(QString::fromStdString(name));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    QEventLoop loop;
    bool cancelled = false;
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    progress.show();
    m_loop = &loop;
    exchange.ServeRequest();
    if (!exchange.Done()) {
        loop.exec();
    }
    m_loop = nullptr;
    // A loop ended from outside (the application quitting) drops the run like a cancel.
    return !cancelled && exchange.Done();
}

void BackgroundCommand::Wake() {
    if (!m_current) {
        return;
    }
    m_current->ServeRequest();
    if (m_loop != nullptr && m_current->Done()) {
        m_loop->quit();
    }
}

}  // namespace velmor
