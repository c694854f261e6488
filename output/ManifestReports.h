#pragma once

#include "ReportError.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace vastrel {

class Database;
class RowSet;

// The in-memory record set a report's detail band is bound to: named text fields and
// one record per printed row. Multi-line values separate their lines with LF alone.
struct ReportRecordSet {
    QStringList fields;
    QList<QStringList> records; // values in the order of `fields`

    void add(const QMap<QString, QString>& values);
    QString value(qsizetype record, const QString& field) const;
};

// Everything a printed manifest report says, without its geometry: the caption of every
// label of the page header and footer by control name, the labels not shown, the widths
// of the detail-band controls that depend on the manifest kind, and the records.
struct ReportContent {
    QString name;    // "RptManifesDetil" or "RptManifesRekap"
    QString caption; // the preview window's caption
    QMap<QString, QString> labels;
    QSet<QString> hidden;
    QMap<QString, int> widthsTwips;
    ReportRecordSet recordSet;

    QString label(const QString& control) const { return labels.value(control); }
};

// Builds the detail report of one POS and the recap of a whole manifest from the database.
// `jenis` is the manifest kind setting ("0" sea, "1" air), `version` the program version
// printed in the footer, `printedAt` the moment printed in the footer.
class ManifestReports {
public:
    ManifestReports(const Database& db, QString jenis, QString version,
                    QDateTime printedAt = QDateTime::currentDateTime());

    // Throws ReportError when the manifest does not exist; DbError passes through.
    ReportContent RptManifesDetil(const QString& nodaftar, const QString& nopos) const;
    ReportContent RptManifesRekap(const QString& nodaftar) const;

    // The containers, goods lines and customs documents of one POS as report text.
    QString ContainerText(const QString& nodaftar, const QString& nopos) const;
    QString GoodsText(const QString& nodaftar, const QString& nopos) const;
    QString DocumentText(const QString& nodaftar, const QString& nopos) const;

private:
    struct Header;
    Header readHeader(const QString& nodaftar) const;
    QMap<QString, QString> manifestLabels(const Header& header, const QString& dateCaption,
                                          const QString& timeCaption) const;
    // The record fields every report prints of one POS, its current row.
    QMap<QString, QString> posValues(const Header& header, const RowSet& pos,
                                     bool airportLabels) const;
    QString blText(const Header& header, const RowSet& pos) const;
    QString packagesText(const RowSet& pos) const;
    QString portsText(const RowSet& pos, bool airportLabels) const;
    QString footer(const QString& printName) const;
    bool isAir() const;

    const Database& m_db;
    QString m_jenis;
    QString m_version;
    QDateTime m_printedAt;
};

} // namespace vastrel
