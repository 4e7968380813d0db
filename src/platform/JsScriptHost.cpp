#include "platform/JsScriptHost.h"

#include <QCoreApplication>
#include <QJSEngine>
#include <QJSValue>
#include <QString>
#include <QStringList>

#include <chrono>
#include <clocale>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/CodePage936.h"

namespace velmor {

namespace {

QString ToQString(const Text& gbk) {
    const std::string utf8 = GbkToUtf8(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A text holds no zero character, so a result ends before its first one.
Text ToText(const QString& value) {
    const qsizetype zero = value.indexOf(QChar(u'\0'));
    const QByteArray utf8 = (zero < 0 ? value : value.left(zero)).toUtf8();
    return Utf8ToGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// Interrupts the engine when the guarded call outlives the timeout.
class Watchdog {
public:
    Watchdog(QJSEngine& engine, int milliseconds) : m_engine(engine) {
        if (milliseconds >= 0) {
            m_thread = std::thread([this, milliseconds] {
                std::unique_lock lock(m_mutex);
                if (!m_done.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                     [this] { return m_finished; })) {
                    m_engine.setInterrupted(true);
                }
            });
        }
    }
    ~Watchdog() {
        if (m_thread.joinable()) {
            {
                std::lock_guard lock(m_mutex);
                m_finished = true;
            }
            m_done.notify_one();
            m_thread.join();
        }
        m_engine.setInterrupted(false);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    QJSEngine& m_engine;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

}  // namespace

struct JsScriptHost::Shared {
    std::unique_ptr<QJSEngine> engine;
    // Calls a function and tells a thrown value of any kind from a returned one.
    QJSValue invoker;
    int timeout = kNoTimeout;
    int state = 0;
    bool allowUi = true;
    std::intptr_t siteWindow = 0;

    Shared() { NewEngine(); }

    void NewEngine() {
        engine = std::make_unique<QJSEngine>();
        invoker = engine->evaluate(
            "(function (f, args) {"
            "  try { return { value: f.apply(undefined, args) }; } catch (e) { return null; }"
            "})");
    }

    // The value of the call, or nothing when it threw, failed or was interrupted.
    template <class Call>
    std::optional<QJSValue> Guarded(Call call) {
        QJSValue value;
        bool failed = false;
        {
            Watchdog watchdog(*engine, timeout);
            value = call(failed);
            failed = failed || engine->isInterrupted() || engine->hasError() || value.isError();
        }
        if (engine->hasError()) {
            engine->catchError();
        }
        if (failed) {
            return std::nullopt;
        }
        return value;
    }

    std::optional<QJSValue> Evaluate(const Text& source) {
        return Guarded([&](bool& failed) {
            QStringList thrownFrom;
            QJSValue value = engine->evaluate(ToQString(source), QString(), 1, &thrownFrom);
            failed = !thrownFrom.isEmpty();
            return value;
        });
    }

    std::optional<QJSValue> Call(QJSValue function, const QJSValueList& arguments) {
        return Guarded([&](bool& failed) {
            QJSValue array = engine->newArray(static_cast<uint>(arguments.size()));
            for (qsizetype i = 0; i < arguments.size(); ++i) {
                array.setProperty(static_cast<quint32>(i), arguments[i]);
            }
            const QJSValue outcome = invoker.call({function, array});
            failed = !outcome.isObject();
            return outcome.property("value");
        });
    }
};

namespace {

Text ValueText(const std::optional<QJSValue>& value) {
    if (!value || value->isUndefined() || value->isNull()) {
        return {};
    }
    return ToText(value->toString());
}

}  // namespace

JsScriptHost::JsScriptHost() : m_shared(std::make_shared<Shared>()) {}

JsScriptHost::JsScriptHost(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}

JsScriptHost::~JsScriptHost() = default;

std::unique_ptr<ScriptHost> JsScriptHost::Copy() const {
    return std::unique_ptr<ScriptHost>(new JsScriptHost(m_shared));
}

bool JsScriptHost::ExecuteStatement(const Text& source) {
    return m_shared->Evaluate(source).has_value();
}

Text JsScriptHost::Eval(const Text& expression) {
    return ValueText(m_shared->Evaluate(expression));
}

void JsScriptHost::Reset() {
    m_shared->NewEngine();
}

bool JsScriptHost::AddCode(const Text& source) {
    return ExecuteStatement(source);
}

Text JsScriptHost::Run(const Text& procedure, const std::vector<Argument>& arguments) {
    QJSValue function = m_shared->engine->globalObject().property(ToQString(procedure));
    if (!function.isCallable()) {
        return {};
    }
    QJSValueList values;
    for (const Argument& argument : arguments) {
        if (const auto* text = std::get_if<Text>(&argument)) {
            values.append(QJSValue(ToQString(*text)));
        } else {
            values.append(QJSValue(std::get<int>(argument)));
        }
    }
    return ValueText(m_shared->Call(function, values));
}

Text JsScriptHost::Language(int) {
    return "JScript";
}

int JsScriptHost::Timeout(int milliseconds) {
    m_shared->timeout = milliseconds < 0 ? kNoTimeout : milliseconds;
    return m_shared->timeout;
}

int JsScriptHost::State(std::optional<int> state) {
    if (state) {
        m_shared->state = *state;
    }
    return m_shared->state;
}

bool JsScriptHost::AllowUI(std::optional<bool> allow) {
    if (allow) {
        m_shared->allowUi = *allow;
    }
    return m_shared->allowUi;
}

std::intptr_t JsScriptHost::SitehWnd(std::optional<std::intptr_t> window) {
    if (window) {
        m_shared->siteWindow = *window;
    }
    return m_shared->siteWindow;
}

JsScriptHostFactory::JsScriptHostFactory() = default;
JsScriptHostFactory::~JsScriptHostFactory() = default;

std::unique_ptr<ScriptHost> JsScriptHostFactory::Create() const {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "velmor";
        static char* argv[] = {name, nullptr};
        const std::string locale = std::setlocale(LC_ALL, nullptr);
        m_application = std::make_unique<QCoreApplication>(argc, argv);
        std::setlocale(LC_ALL, locale.c_str());
    }
    return std::make_unique<JsScriptHost>();
}

}  // namespace velmor
