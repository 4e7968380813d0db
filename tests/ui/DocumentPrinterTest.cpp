#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

#include "PdfTools.h"
#include "app/DocumentPrinter.h"
#include "core/CodePage936.h"

namespace velmor {
namespace {

using test::PdfPages;

class DocumentPrinterTest : public ::testing::Test {
protected:
    int PrintToPdf(const Text& text, const char* name) {
        m_path = m_dir.filePath(QString::fromLatin1(name));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return DocumentPrinter::PrintTo(printer, text, m_font);
    }

    QByteArray Head() const {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_path;
    QFont m_font{QStringLiteral("Noto Serif CJK SC"), 12};
};

TEST_F(DocumentPrinterTest, AShortTextIsOnePage) {
    const int pages = PrintToPdf(Utf8ToGbk("第一行\r\n第二行\r\n"), "short.pdf");
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(Head(), QByteArray("%PDF-"));
    EXPECT_EQ(PdfPages(m_path), 1);
}

TEST_F(DocumentPrinterTest, ManyLinesContinueOnFurtherPages) {
    Text text;
    for (int line = 1; line <= 300; ++line) {
        text += "line " + std::to_string(line) + " \xD6\xD0\xCE\xC4\r\n";
    }
    const int pages = PrintToPdf(text, "lines.pdf");
    EXPECT_GE(pages, 4);
    EXPECT_LE(pages, 12);
    EXPECT_EQ(Head(), QByteArray("%PDF-"));
    EXPECT_EQ(PdfPages(m_path), pages);
}

TEST_F(DocumentPrinterTest, ALongLineWrapsAtThePageWidth) {
    Text line;
    for (int i = 0; i < 4000; ++i) {
        line += "\xD6\xD0";
    }
    const int pages = PrintToPdf(line, "wrapped.pdf");
    EXPECT_GE(pages, 2) << "a line cut at the page edge would fit on one page";
    EXPECT_EQ(PdfPages(m_path), pages);
}

// The inked area of the first page of a PDF at 72 dots per inch, by pdftoppm.
std::optional<QRect> InkedAreaOfFirstPage(const QString& pdf, QSize& pageSize) {
    const QString prefix = pdf + QStringLiteral(".page");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
                  QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                  QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, prefix});
    if (!render.waitForFinished(30000) || render.exitCode() != 0) {
        return std::nullopt;
    }
    const QImage page(prefix + QStringLiteral(".pgm"));
    if (page.isNull()) {
        return std::nullopt;
    }
    pageSize = page.size();
    QRect inked;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 160) {
                inked |= QRect(x, y, 1, 1);
            }
        }
    }
    return inked;
}

TEST_F(DocumentPrinterTest, TextKeepsAtLeastFifteenMillimetresFromEachEdge) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    }
    // Lines longer than the page is wide, and more of them than fit, so the text reaches
    // every margin.
    Text text;
    for (int line = 0; line < 120; ++line) {
        text += std::string(200, 'M') + "\r\n";
    }
    ASSERT_GE(PrintToPdf(text, "margins.pdf"), 2);
    QSize pageSize;
    const std::optional<QRect> inked = InkedAreaOfFirstPage(m_path, pageSize);
    ASSERT_TRUE(inked.has_value());
    ASSERT_FALSE(inked->isEmpty());
    const double margin = 15.0 / 25.4 * 72;  // 15 mm in points
    EXPECT_GE(inked->left(), margin - 1);
    EXPECT_GE(inked->top(), margin - 1);
    EXPECT_LE(inked->right(), pageSize.width() - margin + 1);
    EXPECT_LE(inked->bottom(), pageSize.height() - margin + 1);
    // And the page is used up to the margins, not shrunk away from them.
    EXPECT_LT(inked->left(), margin + 15);
    EXPECT_GT(inked->right(), pageSize.width() - margin - 30);
}

TEST_F(DocumentPrinterTest, ThePrintersWiderMarginsAreKept) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageMargins(QMarginsF(5, 30, 20, 10), QPageLayout::Millimeter);
    DocumentPrinter::ApplyMargins(printer);
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    EXPECT_NEAR(margins.left(), 15, 0.01);
    EXPECT_NEAR(margins.top(), 30, 0.01);
    EXPECT_NEAR(margins.right(), 20, 0.01);
    EXPECT_NEAR(margins.bottom(), 15, 0.01);
}

TEST_F(DocumentPrinterTest, AnEmptyTextPrintsOneBlankPage) {
    EXPECT_EQ(PrintToPdf("", "empty.pdf"), 1);
    EXPECT_EQ(PdfPages(m_path), 1);
}

}  // namespace
}  // namespace velmor
