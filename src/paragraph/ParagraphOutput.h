#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/EditorAccess.h"
#include "core/LargeText.h"
#include "core/ResultSizeLimit.h"
#include "core/Text.h"
#include "core/TextPrimitives.h"
#include "paragraph/ParagraphWalker.h"

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

// Appends the pieces to a text reserved beforehand.
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

// Writes the pieces over the text being walked, from its start. That is safe for a walk that
// writes for each paragraph at most the paragraph and a CR LF: the writing never overtakes
// the reading. Only a last paragraph without CR LF may end up to two bytes past the text;
// what would not fit waits in a spill and is appended by Finish.
class InPlaceWriter {
public:
    explicit InPlaceWriter(Text& text)
        : m_text(text), m_out(text.data()), m_end(text.data() + text.size()) {}

    void Add(std::string_view part) {
        if (Fits(part.size())) {
            std::memmove(m_out, part.data(), part.size());
            m_out += part.size();
        } else {
            m_spill.append(part);
        }
    }
    void AddSpaces(std::uint64_t count) {
        const auto n = static_cast<std::size_t>(count);
        if (Fits(n)) {
            std::memset(m_out, ' ', n);
            m_out += n;
        } else {
            m_spill.append(n, ' ');
        }
    }
    void AddWithoutSpaces(std::string_view part) {
        if (Fits(part.size())) {
            m_out = WriteWithoutSpaces(part, m_out);  // writes forward, never ahead of reading
        } else {
            const std::size_t old = m_spill.size();
            m_spill.resize(old + part.size());
            char* end = WriteWithoutSpaces(part, m_spill.data() + old);
            m_spill.resize(static_cast<std::size_t>(end - m_spill.data()));
        }
    }

    // Cuts the text to what was written.
    void Finish() {
        m_text.resize(static_cast<std::size_t>(m_out - m_text.data()));
        m_text.append(m_spill);
    }

private:
    bool Fits(std::size_t n) const {
        return m_spill.empty() && n <= static_cast<std::size_t>(m_end - m_out);
    }

    Text& m_text;
    char* m_out;
    char* const m_end;
    Text m_spill;
};

// Runs walk(sizer) to size the result, then walk(writer) to build it in one reserved buffer;
// no result when it would pass maxResultBytes.
template <typename Walk>
std::optional<Text> BuildOutput(std::size_t maxResultBytes, Walk&& walk) {
    OutputSizer sizer;
    walk(sizer);
    if (sizer.Size() > maxResultBytes) {
        return std::nullopt;
    }
    Text text;
    ReserveLargeText(text, static_cast<std::size_t>(sizer.Size()));
    OutputWriter writer(text);
    walk(writer);
    return text;
}

// Replaces the document with what walk(text, sink) writes for it, paragraph by paragraph, in
// one write; refuses with the message when the result would pass maxResultBytes. growth is
// the most a walk writes for one paragraph beyond the paragraph and its CR LF. A walk that
// never grows a paragraph (growth 0) rewrites the document where it lies; any other is built
// in a buffer reserved for the most it can write, sized exactly first only when that most
// would pass the limit. True when the document was written.
template <typename Walk>
bool RewriteParagraphs(EditorAccess& editor, std::size_t maxResultBytes, std::uint64_t growth,
                       Walk&& walk) {
    if (growth == 0) {
        bool refused = false;
        editor.RewriteText([&](Text& text) {
            if (text.size() + 2 > maxResultBytes) {
                OutputSizer sizer;
                walk(std::string_view(text), sizer);
                refused = sizer.Size() > maxResultBytes;
                if (refused) {
                    return;
                }
            }
            InPlaceWriter writer(text);
            walk(std::string_view(text), writer);
            writer.Finish();
        });
        if (refused) {
            editor.ShowMessage(MessageKind::Error, kResultTooLargeMessage, kErrorTitle);
        }
        return !refused;
    }
    const TextLease lease = editor.LendText();
    const std::string_view text = lease.Get();
    const std::uint64_t count = ParagraphCountBound(text);
    const std::uint64_t room =
        maxResultBytes - std::min<std::uint64_t>(text.size() + 2, maxResultBytes);
    if (growth <= room / count) {
        Text result;
        ReserveLargeText(result, text.size() + 2 + static_cast<std::size_t>(growth * count),
                         text.size());
        OutputWriter writer(result);
        walk(text, writer);
        editor.ReplaceText(std::move(result));
        return true;
    }
    return WriteResultOrRefuse(editor,
                               BuildOutput(maxResultBytes, [&](auto& sink) { walk(text, sink); }));
}

}  // namespace velmor
