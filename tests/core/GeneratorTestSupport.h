#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/CodePage936.h"
#include "core/DialogFields.h"
#include "core/FixedTime.h"
#include "core/MemoryEditor.h"
#include "core/Random.h"

namespace velmor::test {

// One user action on a dialog; values are written in UTF-8 and reach the field as GBK.
struct Action {
    enum class Kind { Set, Check, Click, Select, Press };
    Kind kind;
    std::string name;
    std::string value;
    int index = 0;
};

inline Action Set(std::string name, const std::string& utf8) {
    return {Action::Kind::Set, std::move(name), Utf8ToGbk(utf8)};
}
inline Action Check(std::string name, bool checked) {
    return {Action::Kind::Check, std::move(name), checked ? "1" : "0"};
}
inline Action Click(std::string name) {
    return {Action::Kind::Click, std::move(name), {}};
}
inline Action Select(std::string name, int index) {
    return {Action::Kind::Select, std::move(name), {}, index};
}
inline Action Press(std::string name) {
    return {Action::Kind::Press, std::move(name), {}};
}

// A dialog opened on an in-memory document with a fixed tick, as `velmor-text --tick` runs it.
class DialogRun {
public:
    explicit DialogRun(const DialogDefinition& definition, Text document = {},
                       std::uint32_t tick = 0)
        : m_editor(std::move(document)),
          m_ticks(tick),
          m_random(m_ticks),
          m_services(MakeServices(m_random)),
          m_context{m_editor, m_services},
          m_session(definition, m_context) {}

    // Runs the actions in order; false when one of them was refused (missing, disabled, ...).
    bool Do(const std::vector<Action>& actions) {
        for (const Action& action : actions) {
            if (!Apply(action)) {
                return false;
            }
        }
        return true;
    }

    MemoryEditor& Editor() { return m_editor; }
    DialogFields& Fields() { return m_session.Fields(); }
    RandomGenerator& Random() { return m_random; }
    Services& ServicesUsed() { return m_services; }
    const Text& FieldText(const std::string& name) { return Fields().TextOf(name); }
    std::string FieldUtf8(const std::string& name) { return GbkToUtf8(FieldText(name)); }
    std::string DocumentUtf8() { return GbkToUtf8(m_editor.ReadText()); }

private:
    static Services MakeServices(RandomGenerator& random) {
        Services services;
        services.random = &random;
        return services;
    }

    bool Apply(const Action& action) {
        switch (action.kind) {
            case Action::Kind::Set:
                return m_session.SetEditText(action.name, action.value);
            case Action::Kind::Check:
                return m_session.SetChecked(action.name, action.value == "1");
            case Action::Kind::Click:
                return m_session.ClickRadio(action.name);
            case Action::Kind::Select:
                return m_session.SelectRow(action.name, action.index);
            case Action::Kind::Press:
                return m_session.Press(action.name);
        }
        return false;
    }

    MemoryEditor m_editor;
    FixedTickSource m_ticks;
    RandomGenerator m_random;
    Services m_services;
    CommandContext m_context;
    DialogSession m_session;
};

// The seeding and drawing rules written out a second time, apart from RandomGenerator and
// RandomCharacters, to check the draw order of the generators against.
class ReferenceDraws {
public:
    explicit ReferenceDraws(std::uint32_t tick) : m_tick(tick) {}

    void Seed() {
        m_state = m_tick + m_counter;
        m_counter += (m_tick + m_counter) % 256 + 100;
    }

    int Between(int a, int b) {
        long long lo = a < 0 ? 0 : a;
        long long hi = b < 0 ? 0 : b;
        if (lo > hi) {
            std::swap(lo, hi);
        }
        if (lo == hi) {
            return static_cast<int>(lo);
        }
        m_state = m_state * 214013u + 2531011u;
        const long long r = (m_state / 65536) % 32768;
        return static_cast<int>(lo + r % (hi - lo + 1));
    }

    std::string Characters(long long count, int kind) {
        Seed();
        std::string text;
        for (long long i = 0; i < count; ++i) {
            if (kind == 1) {
                text += static_cast<char>(Between(48, 57));
            } else if (kind == 2) {
                const int a = Between(1, 2), u = Between(65, 90), l = Between(97, 122);
                text += static_cast<char>(a == 1 ? u : l);
            } else if (kind == 3) {
                const int a = Between(1, 3), u = Between(65, 90), l = Between(97, 122),
                          d = Between(48, 57);
                text += static_cast<char>(a == 1 ? u : a == 2 ? l : d);
            }
        }
        return text;
    }

private:
    std::uint32_t m_tick;
    std::uint32_t m_counter = 0;
    std::uint32_t m_state = 1;
};

}  // namespace velmor::test
