#pragma once

#include "core/Text.h"

class QFont;
class QPrinter;
class QWidget;

namespace velmor {

// Prints the whole document in the given font (the editor's, so the pages look like the
// window): lines wrap at the page width and continue on further pages. Every page keeps a
// margin.
class DocumentPrinter {
public:
    // Shows the system print dialog over parent and prints when the user accepts; false when
    // the user cancelled or the job failed.
    static bool PrintWithDialog(const Text& text, const QFont& font, QWidget* parent);
    // Prints to an already set-up printer (a PDF file, for instance); the number of pages
    // printed, 0 when the job could not start.
    static int PrintTo(QPrinter& printer, const Text& text, const QFont& font);
    // The printer's own page margins, each widened to at least kMinimumMarginMillimeters.
    static void ApplyMargins(QPrinter& printer);

    static constexpr double kMinimumMarginMillimeters = 15.0;
};

}  // namespace velmor
