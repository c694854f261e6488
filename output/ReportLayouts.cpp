#include "ReportLayouts.h"

#include "ManifestReports.h"

#include <initializer_list>

namespace vastrel {

namespace {

constexpr qreal kPageWidth = 15704; // A4 landscape less two 10 mm margins, in twips
constexpr qreal kInfoTop = 760;
constexpr qreal kRowHeight = 250;
constexpr qreal kCaptionWidth = 1800;
constexpr qreal kSeparatorWidth = 150;
constexpr qreal kHeadingHeight = 600;
constexpr qreal kColumnGap = 50;
// Room between the heading box's left edge and the first column.
constexpr qreal kBoxInset = 60;

QFont reportFont(qreal points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(points * 20));
    font.setBold(bold);
    return font;
}

void addLabel(ReportBand& band, const QString& name, const QRectF& rect, const QFont& font,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    band.labels << ReportLabel{name, rect, QString(), font, alignment, true};
}

// One line of the page header's information block: caption, ":" and value.
struct InfoRow {
    const char* caption;
    const char* separator; // empty: a fixed ":" of the layout
    const char* value;
};

void addInfoBlock(ReportBand& band, qreal x, std::initializer_list<InfoRow> rows,
                  qreal valueWidth) {
    qreal y = kInfoTop;
    for (const InfoRow& row : rows) {
        addLabel(band, row.caption, {x, y, kCaptionWidth, kRowHeight}, reportFont(8));
        addLabel(band, row.separator, {x + kCaptionWidth, y, kSeparatorWidth, kRowHeight},
                 reportFont(8));
        band.labels.last().text = QStringLiteral(":");
        addLabel(band, row.value, {x + kCaptionWidth + kSeparatorWidth, y, valueWidth, kRowHeight},
                 reportFont(8, true));
        y += kRowHeight;
    }
}

void addTitle(ReportBand& band) {
    addLabel(band, "lbljudul", {0, 0, kPageWidth, 400}, reportFont(13, true), Qt::AlignCenter);
    addLabel(band, "lbldaftar", {0, 420, kPageWidth, 260}, reportFont(9), Qt::AlignCenter);
}

void addFooter(ReportBand& band) {
    band.height = 360;
    band.lines << QLineF(0, 40, kPageWidth, 40);
    addLabel(band, "lbldate", {0, 90, 9000, 240}, reportFont(7));
    addLabel(band, "lblHalaman", {kPageWidth - 1700, 90, 1000, 240}, reportFont(7),
             Qt::AlignRight | Qt::AlignVCenter);
    addLabel(band, "Label7", {kPageWidth - 650, 90, 650, 240}, reportFont(7));
}

// A printed column of the detail band with its heading (or two stacked headings).
struct Column {
    const char* control;
    const char* field;
    qreal x;
    qreal width; // the width for sea; the content may set another
    const char* heading;
    const char* lowerHeading = "";
};

// The headings in a box across the page, then the detail-band controls below them. A rule
// separates two headings unless the right one is hidden (its column is then taken over).
void addColumns(BandedReport& report, const ReportContent& content, qreal top,
                std::initializer_list<Column> columns) {
    ReportBand& header = report.pageHeader;
    header.boxes << QRectF(0, top, kPageWidth, kHeadingHeight);
    for (const Column& column : columns) {
        const qreal x = kBoxInset + column.x;
        const qreal width = content.widthsTwips.value(column.control, column.width);
        report.detail << ReportField{
            column.control, static_cast<int>(content.recordSet.fields.indexOf(column.field)), x,
            width};
        const bool stacked = *column.lowerHeading != '\0';
        const qreal headingHeight = stacked ? kHeadingHeight / 2 : kHeadingHeight;
        addLabel(header, column.heading, {x, top, width, headingHeight}, reportFont(7.5, true));
        if (stacked)
            addLabel(header, column.lowerHeading, {x, top + headingHeight, width, headingHeight},
                     reportFont(7.5, true));
        if (column.x > 0 && !content.hidden.contains(column.heading))
            header.lines << QLineF(x - kColumnGap / 2, top, x - kColumnGap / 2,
                                   top + kHeadingHeight);
    }
    header.height = top + kHeadingHeight;
}

BandedReport emptyReport(const ReportContent& content) {
    BandedReport report;
    report.title = content.caption;
    report.pageWidth = kPageWidth;
    report.detailFont = reportFont(7.5);
    addFooter(report.pageFooter);
    addTitle(report.pageHeader);
    return report;
}

BandedReport detailLayout(const ReportContent& content) {
    BandedReport report = emptyReport(content);
    ReportBand& header = report.pageHeader;
    addInfoBlock(header, 0,
                 {{"Label3", "Label28", "lblkapal"},
                  {"Label5", "Label29", "lblvoyage"},
                  {"Label1", "Label31", "lbltgltiba"},
                  {"Label6", "Label11", "lbljamtiba"}},
                 3200);
    addInfoBlock(header, 5300,
                 {{"Label18", "Label12", "lblgroup"},
                  {"Label4", "", "lblPOS"},
                  {"Label9", "Label27", "lblJmlCont"},
                  {"Label10", "", "lblJmlKemasan"}},
                 3300);
    addInfoBlock(header, 10700,
                 {{"Label19", "Label22", "Label21"}, {"Label23", "Label25", "Label24"}}, 3000);
    addColumns(report, content, kInfoTop + 4 * kRowHeight + 90,
               {{"TxtPOS", "no_bl", 0, 1350, "Label13"},
                {"Text1", "mother_vessel", 1400, 1600, "Label8"},
                {"Text3", "shipper_consignee_notify", 3050, 3300, "Label14"},
                {"Text2", "satuan_brutto", 6400, 2800, "Label15"},
                {"Text4", "kontainer_uraianbrg", 9250, 3300, "Label16"},
                {"txtkpbcmuat", "pelabuhan", 12600, 3000, "Label17", "Label20"}});
    return report;
}

BandedReport recapLayout(const ReportContent& content) {
    BandedReport report = emptyReport(content);
    ReportBand& header = report.pageHeader;
    addInfoBlock(header, 0,
                 {{"lblGrupManifes", "", "lblgroup"},
                  {"Label3", "", "lblkapal"},
                  {"Label5", "", "lblvoyage"},
                  {"Label1", "", "lbltgltiba"},
                  {"Label6", "", "lbljamtiba"}},
                 3200);
    addInfoBlock(header, 5300,
                 {{"Label9", "Label27", "lblJmlCont"},
                  {"Label10", "", "lblJmlKemasan"},
                  {"Label12", "", "LblJmlPos"}},
                 3300);
    addInfoBlock(header, 10700,
                 {{"Label19", "Label22", "Label21"}, {"Label23", "Label25", "Label24"}}, 3000);
    addColumns(report, content, kInfoTop + 5 * kRowHeight + 90,
               {{"TxtPOS", "no_pos", 0, 600, "LblKopNopos"},
                {"Text5", "no_bl", 650, 900, "Label11"},
                {"Text1", "mother_vessel", 1600, 1550, "Label4"},
                {"Text3", "shipper_consignee_notify", 3200, 3200, "Label14"},
                {"Text2", "satuan_brutto", 6450, 2750, "Label15"},
                {"Text4", "kontainer_uraianbrg", 9250, 3300, "Label16"},
                {"txtkpbcmuat", "pelabuhan", 12600, 3000, "Label17", "Label20"}});
    return report;
}

void applyCaptions(ReportBand& band, const ReportContent& content) {
    for (ReportLabel& label : band.labels) {
        if (label.name.isEmpty())
            continue;
        if (content.labels.contains(label.name))
            label.text = content.labels.value(label.name);
        label.visible = !content.hidden.contains(label.name);
    }
}

} // namespace

BandedReport layoutReport(const ReportContent& content) {
    BandedReport report = content.name == QLatin1String("RptManifesRekap") ? recapLayout(content)
                                                                           : detailLayout(content);
    applyCaptions(report.pageHeader, content);
    applyCaptions(report.pageFooter, content);
    report.records = content.recordSet.records;
    return report;
}

} // namespace vastrel
