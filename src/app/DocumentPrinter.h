#pragma once

#include "core/Text.h"

class QPrinter;
class QWidget;

namespace velmor {

// Prints the whole document: lines wrap at the page width and continue on further pages, in
// "宋体" or, where that font is missing, a CJK font of the system. Every page keeps a margin.
class DocumentPrinter {
public:
    // Shows the system print dialog over parent and prints when the user accepts; false when
    // the user cancelled or the job failed.
    static bool PrintWithDialog(const Text& text, QWidget* parent);
    // Prints to an already set-up printer (a PDF file, for instance); the number of pages
    // printed, 0 when the job could not start.
    static int PrintTo(QPrinter& printer, const Text& text);
    // The printer's own page margins, each widened to at least kMinimumMarginMillimeters.
    static void ApplyMargins(QPrinter& printer);

    static constexpr double kMinimumMarginMillimeters = 15.0;
};

}  // namespace velmor
