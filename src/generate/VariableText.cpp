#include "generate/VariableText.h"

#include <algorithm>
#include <climits>

#include "core/Numbers.h"
#include "core/TextPrimitives.h"
#include "generate/GeneratedText.h"

namespace velmor {

std::int64_t VariableSpan(const VariableList& variables) {
    if (variables.empty()) {
        return 0;
    }
    const TextList& first = variables.front();
    return std::int64_t{ToInt(first[kVariableEnd])} - ToInt(first[kVariableStart]);
}

namespace {

struct Variable {
    Text name;
    std::int64_t firstValue = 0;
    bool padded = false;
    std::int64_t width = 0;
};

// Where the template stands for one copy: the rows' values follow from the copy's index.
class CopyBuilder {
public:
    CopyBuilder(const Text& templateText, const VariableList& rows) : m_template(templateText) {
        for (const TextList& row : rows) {
            Variable variable;
            variable.name = row[kVariableName];
            variable.firstValue = ToInt(row[kVariableStart]);
            variable.padded = row[kVariablePadding] != "0";
            variable.width = variable.padded ? ToInt(row[kVariablePadding]) : 0;
            m_variables.push_back(std::move(variable));
        }
    }

    // The copy with index copyIndex in copy; false when it would pass the limit on its own.
    bool Build(std::int64_t copyIndex, Text& copy) const {
        copy = m_template;
        for (const Variable& variable : m_variables) {
            // A value is read back with ToInt after each step, so it stops at the 32-bit limit.
            const std::int64_t value =
                std::min<std::int64_t>(variable.firstValue + copyIndex, INT_MAX);
            if (!Substitute(variable, value, copy)) {
                return false;
            }
        }
        return true;
    }

private:
    static bool Substitute(const Variable& variable, std::int64_t value, Text& copy) {
        const Text& name = variable.name;
        if (name.empty() || copy.find(name) == Text::npos) {
            return true;
        }
        std::uint64_t matches = 0;
        for (int at = TextFind(copy, name, 1); at != -1;
             at = TextFind(copy, name, at + static_cast<int>(name.size()))) {
            ++matches;
        }
        if (matches == 0) {
            return true;
        }
        Text digits = IntegerText(value);
        const std::uint64_t valueLength =
            std::max<std::uint64_t>(digits.size(), std::max<std::int64_t>(variable.width, 0));
        if (copy.size() - matches * name.size() + matches * valueLength > kGeneratedTextLimit) {
            return false;
        }
        if (digits.size() < valueLength) {
            digits.insert(0, valueLength - digits.size(), '0');
        }
        copy = TextReplace(copy, name, digits, 1, -1, true);
        return true;
    }

    const Text& m_template;
    std::vector<Variable> m_variables;
};

}  // namespace

std::optional<Text> GenerateVariableText(const Text& templateText, VariableList& variables) {
    const std::int64_t copies = variables.empty() ? 1 : VariableSpan(variables) + 1;
    Text text;
    if (copies > 0 && !templateText.empty()) {
        // Every copy of a non-empty template keeps at least one byte.
        if (static_cast<std::uint64_t>(copies) > kGeneratedTextLimit) {
            return std::nullopt;
        }
        const CopyBuilder builder(templateText, variables);
        Text copy;
        std::uint64_t size = 0;
        for (std::int64_t k = 0; k < copies; ++k) {
            if (!builder.Build(k, copy) || (size += copy.size()) > kGeneratedTextLimit) {
                return std::nullopt;
            }
        }
        text.reserve(static_cast<std::size_t>(size));
        for (std::int64_t k = 0; k < copies; ++k) {
            builder.Build(k, copy);
            text += copy;
        }
    }
    for (TextList& row : variables) {
        row[kVariableStart] = IntegerText(std::int64_t{ToInt(row[kVariableEnd])} - copies + 1);
    }
    return text;
}

}  // namespace velmor
