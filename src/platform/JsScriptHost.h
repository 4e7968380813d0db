#pragma once

#include <memory>

#include "core/ScriptHost.h"

class QCoreApplication;

namespace velmor {

// JScript through Qt's ECMAScript engine. The engine lives with the thread that creates the
// host; a call past the timeout is interrupted from a watchdog thread. There is no VBScript
// engine here, so Language(1) leaves JScript in force.
class JsScriptHost : public ScriptHost {
public:
    JsScriptHost();
    ~JsScriptHost() override;

    std::unique_ptr<ScriptHost> Copy() const override;
    bool ExecuteStatement(const Text& source) override;
    Text Eval(const Text& expression) override;
    void Reset() override;
    bool AddCode(const Text& source) override;
    Text Run(const Text& procedure, const std::vector<Argument>& arguments) override;
    Text Language(int language) override;
    int Timeout(int milliseconds = kNoTimeout) override;
    int State(std::optional<int> state = std::nullopt) override;
    bool AllowUI(std::optional<bool> allow = std::nullopt) override;
    std::intptr_t SitehWnd(std::optional<std::intptr_t> window = std::nullopt) override;

private:
    struct Shared;
    explicit JsScriptHost(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
};

// The engine needs a Qt application object; where the process has none (the batch tool, the
// tests), the factory makes one on first use and keeps the C library's locale as it was.
class JsScriptHostFactory : public ScriptHostFactory {
public:
    JsScriptHostFactory();
    ~JsScriptHostFactory() override;
    std::unique_ptr<ScriptHost> Create() const override;

private:
    mutable std::unique_ptr<QCoreApplication> m_application;
};

}  // namespace velmor
