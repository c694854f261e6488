#pragma once

#include <QFont>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace vastrel {

// A small banded report: a page header and a page footer repeated on every page and a
// detail band printed once per record. Geometry is in twips (1/1440 inch) on a page
// `pageWidth` twips wide; rendering scales it to the paintable width of the device, so
// font sizes are pixel sizes in twips too (20 per point).

struct ReportLabel {
    QString name; // control name; empty for fixed decoration
    QRectF rect;  // within its band
    QString text; // wraps at word boundaries inside rect
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool visible = true;
};

struct ReportBand {
    qreal height = 0;
    QList<ReportLabel> labels;
    QList<QLineF> lines;
    QList<QRectF> boxes;

    ReportLabel* label(const QString& name);
    const ReportLabel* label(const QString& name) const;
};

// A control of the detail band: one field of every record, in a column of its own.
struct ReportField {
    QString name;
    int field = 0; // index into a record
    qreal x = 0;
    qreal width = 0;
};

class BandedReport {
public:
    QString title;
    qreal pageWidth = 0;
    ReportBand pageHeader;
    ReportBand pageFooter; // "%p" in a footer or header label prints the page number
    QList<ReportField> detail;
    QFont detailFont;
    qreal recordPadding = 80; // space above and below each record's text
    QList<QStringList> records;

    // A4 landscape with 10 mm margins, the page the layouts are drawn for.
    static void setPageSetup(QPagedPaintDevice* device);

    // Paints every page on `device`, which must not be painted on yet. A record taller than
    // the space left runs on over the next pages, line by line. Returns the page count;
    // throws ReportError when the device cannot be painted.
    int render(QPagedPaintDevice* device) const;

    // Writes the report as a PDF file, which appears only when it is complete; returns the
    // page count. Throws ReportError, or FileWriteError when the file cannot be written.
    int writePdf(const QString& path) const;
};

} // namespace vastrel
