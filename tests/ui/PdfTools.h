#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <optional>

// What a printed PDF file holds, read with poppler-utils (pdfinfo, pdffonts, pdftotext).
namespace velmor::test {

inline bool HasPdfTool(const char* tool) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty();
}

inline QString RunPdfTool(const char* tool, const QStringList& arguments) {
    QProcess process;
    process.start(QString::fromLatin1(tool), arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Pages of a PDF file: by pdfinfo where installed, else by its page objects.
inline int PdfPages(const QString& path) {
    if (HasPdfTool("pdfinfo")) {
        const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
        const QRegularExpressionMatch match = pages.match(RunPdfTool("pdfinfo", {path}));
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

// The names of the fonts the file uses, as pdffonts lists them ("DejaVuSerif-Bold", …).
inline QStringList PdfFontNames(const QString& path) {
    QStringList names;
    const QStringList lines = RunPdfTool("pdffonts", {path}).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) {  // after the heading and its rule
        const QString name = lines[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return names;
}

// The height in points of the first printed occurrence of word: the font's ascent and
// descent at its size, as pdftotext boxes it.
inline std::optional<double> PdfWordHeight(const QString& path, const QString& word) {
    const QRegularExpression box(QStringLiteral("<word xMin=\"[^\"]*\" yMin=\"([^\"]*)\" "
                                                "xMax=\"[^\"]*\" yMax=\"([^\"]*)\">") +
                                 QRegularExpression::escape(word) + QStringLiteral("</word>"));
    const QRegularExpressionMatch match =
        box.match(RunPdfTool("pdftotext", {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(2).toDouble() - match.captured(1).toDouble();
}

}  // namespace velmor::test
