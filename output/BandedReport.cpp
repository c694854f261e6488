#include "BandedReport.h"

#include "DurableFile.h"
#include "InstallationFiles.h"
#include "ReportError.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace vastrel {

namespace {

constexpr qreal kPageMarginMm = 10;
constexpr qreal kRuleWidth = 10;
// A record starts on the next page rather than leave fewer lines than this on the current one.
constexpr int kFewestLinesBeforeBreak = 4;

template <typename Band, typename Label> Label* findLabel(Band& band, const QString& name) {
    const auto found = std::find_if(band.labels.begin(), band.labels.end(),
                                    [&](const ReportLabel& l) { return l.name == name; });
    return found == band.labels.end() ? nullptr : &*found;
}

// The lines a text occupies in a column `width` wide: its LF-separated lines, each wrapped at
// word boundaries (or anywhere, for a word wider than the column). Trailing blank lines take
// no room.
QStringList wrapText(const QString& text, const QFont& font, qreal width) {
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(u'\n')) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

// Paints the pages one after the other, keeping track of where the next line goes.
class PageWriter {
public:
    PageWriter(const BandedReport& report, QPagedPaintDevice* device)
        : m_report(report), m_device(device) {
        if (!m_painter.begin(device))
            throw ReportError("The report cannot be printed: the printer or file is not ready",
                              "Laporan tidak dapat dicetak: printer atau file belum siap");
        const qreal scale = device->width() / report.pageWidth;
        m_painter.scale(scale, scale);
        m_painter.setPen(QPen(Qt::black, kRuleWidth));
        m_bodyBottom = device->height() / scale - report.pageFooter.height;
        const QFontMetricsF metrics(report.detailFont);
        m_lineHeight = metrics.lineSpacing();
        m_ascent = metrics.ascent();
        startPage();
    }

    int pages() const { return m_page; }

    void writeRecord(const QStringList& record) {
        QList<QStringList> columns;
        qsizetype lineCount = 0;
        for (const ReportField& field : m_report.detail) {
            columns << wrapText(record.value(field.field), m_report.detailFont, field.width);
            lineCount = std::max(lineCount, columns.last().size());
        }
        const bool pageIsEmpty = m_y == m_report.pageHeader.height;
        m_y += m_report.recordPadding;
        if (!pageIsEmpty && linesLeft() < std::min<qsizetype>(lineCount, kFewestLinesBeforeBreak))
            continueOnNextPage();
        for (qsizetype done = 0; done < lineCount;) {
            if (done > 0)
                continueOnNextPage();
            const qsizetype count = std::min(std::max<qsizetype>(linesLeft(), 1), lineCount - done);
            writeLines(columns, done, count);
            done += count;
        }
        m_y += m_report.recordPadding;
        m_painter.drawLine(QLineF(0, m_y, m_report.pageWidth, m_y));
    }

private:
    // Whole lines that fit between the current position and the padding above the footer.
    qsizetype linesLeft() const {
        return static_cast<qsizetype>(
            std::floor((m_bodyBottom - m_report.recordPadding - m_y) / m_lineHeight));
    }

    void continueOnNextPage() {
        startPage();
        m_y += m_report.recordPadding;
    }

    void startPage() {
        if (m_page > 0 && !m_device->newPage())
            throw ReportError("The report cannot be printed: a new page could not be started",
                              "Laporan tidak dapat dicetak: halaman baru tidak dapat dibuat");
        ++m_page;
        drawBand(m_report.pageHeader, 0);
        drawBand(m_report.pageFooter, m_bodyBottom);
        m_y = m_report.pageHeader.height;
    }

    void drawBand(const ReportBand& band, qreal top) {
        m_painter.save();
        m_painter.translate(0, top);
        m_painter.drawLines(band.lines);
        m_painter.drawRects(band.boxes);
        const QString pageNumber = QString::number(m_page);
        for (const ReportLabel& label : band.labels) {
            if (!label.visible || label.text.isEmpty())
                continue;
            m_painter.setFont(label.font);
            m_painter.drawText(label.rect, static_cast<int>(label.alignment) | Qt::TextWordWrap,
                               QString(label.text).replace(QLatin1String("%p"), pageNumber));
        }
        m_painter.restore();
    }

    void writeLines(const QList<QStringList>& columns, qsizetype first, qsizetype count) {
        m_painter.setFont(m_report.detailFont);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const qreal x = m_report.detail[c].x;
            const QStringList& lines = columns[c];
            for (qsizetype i = first; i < std::min(first + count, lines.size()); ++i)
                m_painter.drawText(QPointF(x, m_y + (i - first) * m_lineHeight + m_ascent),
                                   lines[i]);
        }
        m_y += count * m_lineHeight;
    }

    const BandedReport& m_report;
    QPagedPaintDevice* m_device;
    QPainter m_painter;
    qreal m_bodyBottom = 0;
    qreal m_lineHeight = 0;
    qreal m_ascent = 0;
    qreal m_y = 0;
    int m_page = 0;
};

} // namespace

ReportLabel* ReportBand::label(const QString& name) {
    return findLabel<ReportBand, ReportLabel>(*this, name);
}

const ReportLabel* ReportBand::label(const QString& name) const {
    return findLabel<const ReportBand, const ReportLabel>(*this, name);
}

void BandedReport::setPageSetup(QPagedPaintDevice* device) {
    device->setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                    QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                    QPageLayout::Millimeter));
}

int BandedReport::render(QPagedPaintDevice* device) const {
    PageWriter writer(*this, device);
    for (const QStringList& record : records)
        writer.writeRecord(record);
    return writer.pages();
}

int BandedReport::writePdf(const QString& path) const {
    refuseInstallationFile(path);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Vastrel"));
        pdf.setResolution(300);
        setPageSetup(&pdf);
        pages = render(&pdf);
    }
    writeFileDurably(path, buffer.data());
    return pages;
}

} // namespace vastrel
