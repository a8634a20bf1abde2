#pragma once

// PDFs read back with poppler's tools, as a person reading the file would see them.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace testing_support {

inline QString toolOutput(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page, whitespace collapsed and ligatures (fi, ffi) read as letters;
// `layout`: the lines as printed (pdftotext -layout), so a row's cells stay on one line.
inline QStringList pdfPages(const QString& pdf, bool layout = false) {
    const QStringList args = layout ? QStringList{QStringLiteral("-layout"), pdf, QStringLiteral("-")} : QStringList{pdf, QStringLiteral("-")};
    QStringList pages = toolOutput(QStringLiteral("pdftotext"), args).split(QChar(u'\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    for (QString& t : pages) t = t.normalized(QString::NormalizationForm_KC).simplified();
    return pages;
}
inline QString pdfText(const QString& pdf) { return pdfPages(pdf).join(u' '); }

// pdfinfo's page count and first page size in points, and how many pictures pdfimages lists.
struct PdfInfo {
    int pages = 0;
    double width = 0, height = 0;
    int pictures = 0;
};
inline PdfInfo pdfInfo(const QString& pdf) {
    const QString info = toolOutput(QStringLiteral("pdfinfo"), {pdf});
    PdfInfo out;
    out.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    out.width = size.captured(1).toDouble();
    out.height = size.captured(2).toDouble();
    // Two heading lines, then one line per picture.
    out.pictures = int(toolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                           .split(u'\n', Qt::SkipEmptyParts).size()) - 2;
    return out;
}

} // namespace testing_support
