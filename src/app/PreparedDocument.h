#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/GbkMirror.h"

namespace velmor {

// A whole new text for the editor, built into a widget document of its own away from the
// window: the conversion to UTF-8 and the widget's line index are made on any thread, and the
// editor then swaps the finished document in at once (ScintillaEditor::ReplaceSnapshot), so
// that the text on screen is never half-changed and the window waits only for the swap.
class PreparedDocument {
public:
    // Makes the widget's loader interface (one reference) for a document of utf8Size bytes,
    // on the editor's thread whichever thread asks; null when it cannot be had.
    using LoaderMaker = std::function<void*(std::size_t utf8Size)>;

    PreparedDocument(SharedText text, LoaderMaker makeLoader);
    // For a text given as the UTF-8 the buffer is to hold (a file's own bytes, which must
    // outlive Build): the bytes go in as they are and the mirror is converted from them.
    PreparedDocument(std::string_view utf8, LoaderMaker makeLoader);
    ~PreparedDocument();
    PreparedDocument(const PreparedDocument&) = delete;
    PreparedDocument& operator=(const PreparedDocument&) = delete;

    // Measures the text, has the loader made and converts the text into it; any one thread,
    // once. Without a loader nothing is built.
    void Build();
    bool Built() const { return m_built.load(); }
    // The text it was made for: only the very same version may take it.
    const SharedText& Source() const { return m_source; }
    bool OfUtf8() const { return m_utf8.has_value(); }
    // Whether it was made for these very bytes (the same place and length).
    bool IsOf(std::string_view utf8) const {
        return m_utf8 && m_utf8->data() == utf8.data() && m_utf8->size() == utf8.size();
    }

    // For the editor, once built: the widget document (the caller owns its one reference)
    // and the mirror's chunks of it.
    void* TakeDocument();
    GbkMirror::Adoption TakeAdoption() { return std::move(m_adoption); }
    // Where the document's long lines were cut into rows (DisplayBreaks).
    std::vector<std::size_t> TakeBreaks() { return std::move(m_breaks); }

private:
    SharedText m_source;
    std::optional<std::string_view> m_utf8;
    LoaderMaker m_makeLoader;
    GbkMirror::Adoption m_adoption;
    std::vector<std::size_t> m_breaks;
    // The widget's loader interface until the document is taken.
    void* m_loader = nullptr;
    std::atomic<bool> m_built{false};
};

}  // namespace velmor
