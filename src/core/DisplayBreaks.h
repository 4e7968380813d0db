#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// Line feeds of the edit box's own, which the text does not hold. The box lays out a whole
// line to show any of it, so a line longer than it can lay out at typing speed (a Base64 or
// hex result, a file without line breaks) is shown as rows, each ended by one of these,
// the way word wrap shows rows. The box's buffer is the text's UTF-8 with these bytes at the
// places kept here, in ascending order; a text position (a place in the buffer as if they
// were not there) and a buffer position map through them.
class DisplayBreaks {
public:
    // A line given whole is cut into rows of about this many bytes of UTF-8 when it is longer
    // (16 KB, laid out in milliseconds); editing may grow a row to LongestRow before it is cut
    // again. Tests make rows short to have many.
    static std::size_t RowBytes();
    static std::size_t LongestRow() { return 2 * RowBytes(); }
    static void SetRowBytes(std::size_t bytes);
    static constexpr char kByte = '\n';
    // A row ends after a space found within RowBytes() / kSpaceSearch bytes past its length.
    static constexpr std::size_t kSpaceSearch = 16;

    bool Empty() const { return m_at.empty(); }
    std::size_t Count() const { return m_at.size(); }
    const std::vector<std::size_t>& Positions() const { return m_at; }
    void Assign(std::vector<std::size_t> positions) { m_at = std::move(positions); }
    void Clear() { m_at.clear(); }

    bool IsBreak(std::size_t bufferPosition) const;
    // Breaks in the buffer span [from, to).
    std::size_t CountIn(std::size_t from, std::size_t to) const;
    // The text position of a buffer position (a break itself counts as its text position).
    std::size_t TextPosition(std::size_t bufferPosition) const;
    // The buffer position of a text position: past the breaks that stand at that text
    // position, or before them.
    std::size_t BufferPosition(std::size_t textPosition, bool pastBreaks) const;

    // The buffer took length bytes at position: a break of ours, or bytes of the text.
    void Inserted(std::size_t position, std::size_t length, bool isBreak);
    // The buffer lost [position, position + length); the breaks in it go with it.
    void Deleted(std::size_t position, std::size_t length);

    // The buffer bytes that start at buffer position from, without the breaks among them,
    // appended to out.
    void AppendText(std::string_view bytes, std::size_t from, std::string& out) const;

private:
    std::vector<std::size_t> m_at;
};

// Cuts UTF-8 handed over piece by piece into the rows above as it goes to the buffer: a run
// of more than DisplayBreaks::RowBytes() bytes without a line end gets a break after a space
// within a sixteenth of a row past each row's length, or else before the character there.
// Lines no longer than a row pass unchanged.
class DisplayBreakWriter {
public:
    using Sink = std::function<void(std::string_view bytes)>;

    explicit DisplayBreakWriter(Sink sink) : m_sink(std::move(sink)) {}

    void Write(std::string_view utf8);
    // The buffer positions of the breaks written so far.
    std::vector<std::size_t> TakeBreaks() { return std::move(m_breaks); }

private:
    Sink m_sink;
    std::vector<std::size_t> m_breaks;
    // Buffer bytes written, breaks included, and bytes since the last line end or break.
    std::size_t m_written = 0;
    std::size_t m_run = 0;
    bool m_afterSpace = false;
};

}  // namespace velmor
