#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace vastrel {

enum class ManifestKind { Sea, Air };

// One sheet of the import workbook: its name, the table its rows go to, and its heading
// row. The header's key and its computed status have no column; "nopos" and "noseq" may
// be left empty, and child rows name their POS by "nobl".
struct TemplateSheet {
    QString name;
    QString table;
    QStringList columns;
};

// The sheets of the import workbook for a kind of manifest, in order: Header, POS,
// Barang, Kontainer (sea only) and Dokumen. Air has no mother vessel and no containers.
std::vector<TemplateSheet> templateSheets(ManifestKind kind);

// Writes the import workbook with its heading rows only to `path`, whole or not at all.
// Columns are formatted for their kind (text, date, time). Throws FileWriteError when the
// file cannot be put in place, UserError when the workbook cannot be written.
void writeSheetTemplate(const QString& path, ManifestKind kind);

} // namespace vastrel
