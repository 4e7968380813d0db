#include "app/PreparedDocument.h"

#include <future>
#include <new>
#include <string_view>
#include <utility>

#include "core/DisplayBreaks.h"
#include "core/LargeText.h"

namespace velmor {

// The widget's loader interface, as its headers declare it (the installed headers omit it).
// Outside an anonymous namespace: a class only this file could derive from would let the
// compiler bind the calls to its own pure functions.
class WidgetLoader {
public:
    virtual int Release() = 0;
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

protected:
    ~WidgetLoader() = default;
};

namespace {

// Bytes handed to the loader at a time; the buffer takes bytes, so a piece may end anywhere.
constexpr std::size_t kUtf8Piece = 4 * 1024 * 1024;

WidgetLoader* AsLoader(void* loader) {
    return static_cast<WidgetLoader*>(loader);
}

}  // namespace

PreparedDocument::PreparedDocument(SharedText text, LoaderMaker makeLoader)
    : m_source(std::move(text)), m_makeLoader(std::move(makeLoader)) {}

PreparedDocument::PreparedDocument(std::string_view utf8, LoaderMaker makeLoader)
    : m_utf8(utf8), m_makeLoader(std::move(makeLoader)) {}

PreparedDocument::~PreparedDocument() {
    if (m_loader != nullptr) {
        AsLoader(m_loader)->Release();
    }
}

void PreparedDocument::Build() {
    // The loader's buffer and the line index, which grows as the text comes in.
    const WholeBlocksWritten written;
    DisplayBreakWriter rows([this](std::string_view bytes) {
        // SC_STATUS_OK is 0; anything else is a failure to allocate.
        if (AsLoader(m_loader)->AddData(bytes.data(), static_cast<std::ptrdiff_t>(bytes.size())) !=
            0) {
            throw std::bad_alloc();
        }
    });
    const auto add = [&rows](std::string_view piece) { rows.Write(piece); };
    if (m_utf8) {
        m_loader = m_makeLoader(m_utf8->size());
        if (m_loader == nullptr) {
            return;
        }
        // The mirror is converted on the other cores while the widget takes the bytes.
        std::future<GbkMirror::Adoption> mirror = std::async(
            std::launch::async, [utf8 = *m_utf8] { return GbkMirror::PrepareUtf8(utf8); });
        for (std::size_t from = 0; from < m_utf8->size(); from += kUtf8Piece) {
            add(m_utf8->substr(from, kUtf8Piece));
        }
        m_adoption = mirror.get();
        m_breaks = rows.TakeBreaks();
        m_built = true;
        return;
    }
    m_adoption = GbkMirror::Prepare(m_source);
    m_loader = m_makeLoader(m_adoption.utf8Size);
    if (m_loader == nullptr) {
        return;
    }
    GbkMirror::HandOver(m_adoption, add);
    m_breaks = rows.TakeBreaks();
    m_built = true;
}

void* PreparedDocument::TakeDocument() {
    void* document = AsLoader(m_loader)->ConvertToDocument();
    m_loader = nullptr;
    return document;
}

}  // namespace velmor
