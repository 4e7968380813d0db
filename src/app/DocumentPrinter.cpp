#include "app/DocumentPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>

#include "core/CodePage936.h"

namespace velmor {

namespace {

QString PrintableText(const Text& text) {
    QString unicode = QString::fromStdString(GbkToUtf8(text));
    unicode.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unicode.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unicode;
}

}  // namespace

bool DocumentPrinter::PrintWithDialog(const Text& text, const QFont& font, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return PrintTo(printer, text, font) > 0;
}

void DocumentPrinter::ApplyMargins(QPrinter& printer) {
    const QMarginsF given = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF margins(std::max(given.left(), kMinimumMarginMillimeters),
                            std::max(given.top(), kMinimumMarginMillimeters),
                            std::max(given.right(), kMinimumMarginMillimeters),
                            std::max(given.bottom(), kMinimumMarginMillimeters));
    printer.setPageMargins(margins, QPageLayout::Millimeter);
}

int DocumentPrinter::PrintTo(QPrinter& printer, const Text& text, const QFont& font) {
    ApplyMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return 0;
    }
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution()).toRectF();
    const QSizeF pageSize(page.width(), page.height());

    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
    // Lay out in the printer's own resolution so the page width is the paper's.
    document.documentLayout()->setPaintDevice(&printer);
    document.setPlainText(PrintableText(text));
    document.setPageSize(pageSize);

    const int pages = document.pageCount();
    for (int pageIndex = 0; pageIndex < pages; ++pageIndex) {
        if (pageIndex > 0 && !printer.newPage()) {
            painter.end();
            return 0;
        }
        painter.save();
        const QRectF clip(0, pageIndex * pageSize.height(), pageSize.width(), pageSize.height());
        painter.translate(0, -clip.top());
        document.drawContents(&painter, clip);
        painter.restore();
    }
    painter.end();
    return pages;
}

}  // namespace velmor
