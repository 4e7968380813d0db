#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "core/Text.h"

namespace velmor {

// A JScript engine that keeps the functions its source defines and calls them by name. Texts
// are GBK in and out; a text result stops before its first zero character. Nothing reports
// an error: a failed call gives false or the empty text.
class ScriptHost {
public:
    using Argument = std::variant<Text, int>;
    static constexpr int kNoTimeout = -1;

    virtual ~ScriptHost() = default;

    // Another host on the same engine: code defined through either is seen by both.
    virtual std::unique_ptr<ScriptHost> Copy() const = 0;

    // Runs source as statements; true when it ran without an error.
    virtual bool ExecuteStatement(const Text& source) = 0;
    // The value of expression as text.
    virtual Text Eval(const Text& expression) = 0;
    // Discards all defined code and state; the settings below stay.
    virtual void Reset() = 0;
    // Adds source to the engine's code, running its statements; true without an error.
    virtual bool AddCode(const Text& source) = 0;
    // Calls the named procedure with the arguments; its result as text, empty when the
    // procedure is missing, fails or runs past the timeout.
    virtual Text Run(const Text& procedure, const std::vector<Argument>& arguments) = 0;

    // 0 selects JScript, 1 VBScript where the platform has it, anything else changes
    // nothing; returns the name of the language now in force.
    virtual Text Language(int language) = 0;
    // Sets the time a call may run, in milliseconds (kNoTimeout: no limit); returns it.
    virtual int Timeout(int milliseconds = kNoTimeout) = 0;
    // These three are kept and handed back; they change nothing here.
    virtual int State(std::optional<int> state = std::nullopt) = 0;
    virtual bool AllowUI(std::optional<bool> allow = std::nullopt) = 0;
    virtual std::intptr_t SitehWnd(std::optional<std::intptr_t> window = std::nullopt) = 0;

    // The three call forms: every slot the caller leaves out is passed as the empty text.
    Text RunProcedure(const Text& procedure, const Text& a1 = {}, const Text& a2 = {},
                      const Text& a3 = {}, const Text& a4 = {}, const Text& a5 = {},
                      const Text& a6 = {}) {
        return Run(procedure, {a1, a2, a3, a4, a5, a6});
    }
    Text RunProcedure(const Text& procedure, const Text& a1, int a2, const Text& a3 = {},
                      const Text& a4 = {}, const Text& a5 = {}, const Text& a6 = {}) {
        return Run(procedure, {a1, a2, a3, a4, a5, a6});
    }
    Text RunProcedure(const Text& procedure, const Text& a1, int a2, int a3, const Text& a4 = {},
                      const Text& a5 = {}, const Text& a6 = {}) {
        return Run(procedure, {a1, a2, a3, a4, a5, a6});
    }
};

// Creates script hosts; Create gives null when no engine can be started.
class ScriptHostFactory {
public:
    virtual ~ScriptHostFactory() = default;
    virtual std::unique_ptr<ScriptHost> Create() const = 0;
};

}  // namespace velmor
