#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/DocumentPrinter.h"
#include "core/CodePage936.h"

namespace velmor {
namespace {

// Pages of a PDF file: by pdfinfo where installed, else by its page objects.
int PdfPages(const QString& path) {
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        info.waitForFinished();
        const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
        const QRegularExpressionMatch match = pages.match(QString::fromUtf8(info.readAll()));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    int count = 0;
    QRegularExpressionMatchIterator page = QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))
                                               .globalMatch(QString::fromLatin1(file.readAll()));
    for (; page.hasNext(); page.next()) {
        ++count;
    }
    return count;
}

class DocumentPrinterTest : public ::testing::Test {
protected:
    int PrintToPdf(const Text& text, const char* name) {
        m_path = m_dir.filePath(QString::fromLatin1(name));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return DocumentPrinter::PrintTo(printer, text);
    }

    QByteArray Head() const {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_path;
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

TEST_F(DocumentPrinterTest, AnEmptyTextPrintsOneBlankPage) {
    EXPECT_EQ(PrintToPdf("", "empty.pdf"), 1);
    EXPECT_EQ(PdfPages(m_path), 1);
}

}  // namespace
}  // namespace velmor
