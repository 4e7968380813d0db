#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/ResultSizeLimit.h"
#include "core/Text.h"
#include "core/TextPrimitives.h"

namespace velmor {

// Counts the bytes a walk over the paragraphs would write, without writing them.
class OutputSizer {
public:
    void Add(std::string_view part) { m_size += part.size(); }
    void AddSpaces(std::uint64_t count) { m_size += count; }
    // Counts the whole part: an upper bound, which is all the reservation needs.
    void AddWithoutSpaces(std::string_view part) { m_size += part.size(); }
    std::uint64_t Size() const { return m_size; }

private:
    std::uint64_t m_size = 0;
};

// Appends the pieces to a text reserved by the sizing walk.
class OutputWriter {
public:
    explicit OutputWriter(Text& text) : m_text(text) {}
    void Add(std::string_view part) { m_text.append(part); }
    void AddSpaces(std::uint64_t count) { m_text.append(static_cast<std::size_t>(count), ' '); }
    void AddWithoutSpaces(std::string_view part) {
        const std::size_t old = m_text.size();
        m_text.resize(old + part.size());
        char* end = WriteWithoutSpaces(part, m_text.data() + old);
        m_text.resize(static_cast<std::size_t>(end - m_text.data()));
    }

private:
    Text& m_text;
};

// Runs walk(sink) once to size the result and once to build it in one reserved buffer; no
// result when it would pass kMaxResultBytes.
template <typename Walk>
std::optional<Text> BuildOutput(Walk&& walk) {
    OutputSizer sizer;
    walk(sizer);
    if (sizer.Size() > kMaxResultBytes) {
        return std::nullopt;
    }
    Text text;
    text.reserve(static_cast<std::size_t>(sizer.Size()));
    OutputWriter writer(text);
    walk(writer);
    return text;
}

}  // namespace velmor
