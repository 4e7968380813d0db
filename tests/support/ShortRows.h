#pragma once

#include <cstddef>

#include "core/DisplayBreaks.h"

namespace velmor::test {

// Rows of a few bytes while it lives, so that small texts are shown as many rows.
class ShortRows {
public:
    explicit ShortRows(std::size_t bytes) : m_old(DisplayBreaks::RowBytes()) {
        DisplayBreaks::SetRowBytes(bytes);
    }
    ~ShortRows() { DisplayBreaks::SetRowBytes(m_old); }
    ShortRows(const ShortRows&) = delete;
    ShortRows& operator=(const ShortRows&) = delete;

private:
    std::size_t m_old;
};

}  // namespace velmor::test
