#include "generate/VariableText.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "core/Numbers.h"
#include "core/TextPrimitives.h"
#include "generate/GeneratedText.h"
#include "generate/VariableTemplate.h"

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

    // A value is read back with ToInt after each step, so it stops at the 32-bit limit.
    std::int64_t ValueAt(std::int64_t copyIndex) const {
        return std::min<std::int64_t>(firstValue + copyIndex, INT_MAX);
    }

    // The length of the value's text: its digits, padded with zeros to the width.
    std::uint64_t ValueLength(std::int64_t value) const {
        char digits[24];
        const auto length = static_cast<std::uint64_t>(
            std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
        return std::max<std::uint64_t>(length, std::max<std::int64_t>(width, 0));
    }

    void WriteValue(std::int64_t value, Text& out) const {
        char digits[24];
        const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        const auto length = static_cast<std::size_t>(end - digits);
        out.clear();
        if (width > 0 && length < static_cast<std::uint64_t>(width)) {
            out.append(static_cast<std::size_t>(width) - length, '0');
        }
        out.append(digits, length);
    }
};

// Builds each copy from the template's pieces; the names the pieces could not take are
// substituted into the copy one after another.
class CopyBuilder {
public:
    CopyBuilder(const Text& templateText, const VariableList& rows)
        : m_template(templateText, Names(rows)) {
        for (const TextList& row : rows) {
            Variable variable;
            variable.name = row[kVariableName];
            variable.firstValue = ToInt(row[kVariableStart]);
            variable.padded = row[kVariablePadding] != "0";
            variable.width = variable.padded ? ToInt(row[kVariablePadding]) : 0;
            m_variables.push_back(std::move(variable));
        }
        for (std::size_t k = 0; k < m_template.PlannedCount(); ++k) {
            if (m_template.Places(k) > 0) {
                m_placed.push_back(k);
            }
        }
        m_values.resize(m_variables.size());
    }

    bool EveryNamePlanned() const { return m_template.PlannedCount() == m_variables.size(); }

    // The size of copy copyIndex once the planned names are in; false when a step of the
    // substitution would pass the limit.
    bool PlannedSize(std::int64_t copyIndex, std::uint64_t& size) const {
        std::uint64_t valueBytes = 0;
        size = m_template.PlannedCount() == 0
                   ? 0
                   : m_template.LiteralBytesAfter(m_template.PlannedCount() - 1);
        for (const std::size_t k : m_placed) {
            const Variable& variable = m_variables[k];
            valueBytes += m_template.Places(k) * variable.ValueLength(variable.ValueAt(copyIndex));
            if (m_template.LiteralBytesAfter(k) + valueBytes > kGeneratedTextLimit) {
                return false;
            }
        }
        size += valueBytes;
        return true;
    }

    // Appends copy copyIndex to out; false, with out as it was, when a step of building it
    // or out with it would pass the limit.
    bool Append(std::int64_t copyIndex, Text& out) {
        std::uint64_t size = 0;
        if (!PlannedSize(copyIndex, size) || out.size() + size > kGeneratedTextLimit) {
            return false;
        }
        for (const std::size_t k : m_placed) {
            const Variable& variable = m_variables[k];
            variable.WriteValue(variable.ValueAt(copyIndex), m_values[k]);
        }
        if (EveryNamePlanned()) {
            AppendPieces(out);
            return true;
        }
        m_copy.clear();
        AppendPieces(m_copy);
        for (std::size_t k = m_template.PlannedCount(); k < m_variables.size(); ++k) {
            if (!Substitute(m_variables[k], m_variables[k].ValueAt(copyIndex), m_copy)) {
                return false;
            }
        }
        if (out.size() + m_copy.size() > kGeneratedTextLimit) {
            return false;
        }
        out += m_copy;
        return true;
    }

private:
    static std::vector<Text> Names(const VariableList& rows) {
        std::vector<Text> names;
        names.reserve(rows.size());
        for (const TextList& row : rows) {
            names.push_back(row[kVariableName]);
        }
        return names;
    }

    void AppendPieces(Text& out) const {
        for (const TemplatePiece& piece : m_template.Pieces()) {
            out += piece.variable < 0 ? piece.literal
                                      : m_values[static_cast<std::size_t>(piece.variable)];
        }
    }

    static bool Substitute(const Variable& variable, std::int64_t value, Text& copy) {
        const Text& name = variable.name;
        if (name.empty()) {
            return true;
        }
        std::uint64_t matches = 0;
        if (copy.find(name) != Text::npos) {
            for (int at = TextFind(copy, name, 1); at != -1;
                 at = TextFind(copy, name, at + static_cast<int>(name.size()))) {
                ++matches;
            }
        }
        // TextReplace with a one-byte name drops a lone lead byte at the end even without a
        // match.
        if (matches == 0 && name.size() != 1) {
            return true;
        }
        const std::uint64_t valueLength = variable.ValueLength(value);
        if (copy.size() - matches * name.size() + matches * valueLength > kGeneratedTextLimit) {
            return false;
        }
        Text digits;
        variable.WriteValue(value, digits);
        copy = TextReplace(copy, name, digits, 1, -1, true);
        return true;
    }

    VariableTemplate m_template;
    std::vector<Variable> m_variables;
    // The planned names that took a place, in list order.
    std::vector<std::size_t> m_placed;
    // The current copy's value of each placed name.
    std::vector<Text> m_values;
    Text m_copy;
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
        CopyBuilder builder(templateText, variables);
        if (builder.EveryNamePlanned()) {
            // Each copy's size follows from its values, so the whole is measured before it is
            // built and its buffer taken at once.
            std::uint64_t total = 0;
            for (std::int64_t k = 0; k < copies; ++k) {
                std::uint64_t size = 0;
                if (!builder.PlannedSize(k, size) || (total += size) > kGeneratedTextLimit) {
                    return std::nullopt;
                }
            }
            text.reserve(static_cast<std::size_t>(total));
        }
        for (std::int64_t k = 0; k < copies; ++k) {
            if (!builder.Append(k, text)) {
                return std::nullopt;
            }
        }
    }
    for (TextList& row : variables) {
        row[kVariableStart] = IntegerText(std::int64_t{ToInt(row[kVariableEnd])} - copies + 1);
    }
    return text;
}

}  // namespace velmor
