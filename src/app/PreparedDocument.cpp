#include "app/PreparedDocument.h"

#include <new>
#include <string_view>
#include <utility>

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

WidgetLoader* AsLoader(void* loader) {
    return static_cast<WidgetLoader*>(loader);
}

}  // namespace

PreparedDocument::PreparedDocument(SharedText text, LoaderMaker makeLoader)
    : m_source(std::move(text)), m_makeLoader(std::move(makeLoader)) {}

PreparedDocument::~PreparedDocument() {
    if (m_loader != nullptr) {
        AsLoader(m_loader)->Release();
    }
}

void PreparedDocument::Build() {
    // The loader's buffer and the line index, which grows as the text comes in.
    const WholeBlocksWritten written;
    m_adoption = GbkMirror::Prepare(m_source);
    m_loader = m_makeLoader(m_adoption.utf8Size);
    if (m_loader == nullptr) {
        return;
    }
    GbkMirror::HandOver(m_adoption, [this](std::string_view piece) {
        // SC_STATUS_OK is 0; anything else is a failure to allocate.
        if (AsLoader(m_loader)->AddData(piece.data(), static_cast<std::ptrdiff_t>(piece.size())) !=
            0) {
            throw std::bad_alloc();
        }
    });
    m_built = true;
}

void* PreparedDocument::TakeDocument() {
    void* document = AsLoader(m_loader)->ConvertToDocument();
    m_loader = nullptr;
    return document;
}

}  // namespace velmor
