#include "XlsxTemplate.h"

#include "DurableFile.h"
#include "InstallationFiles.h"
#include "Schema.h"

#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>

namespace vastrel {

namespace {

constexpr double kMinimumWidth = 12;

// The columns of `table` without those named in `left`.
QStringList columnsWithout(const QString& table, const QStringList& left) {
    QStringList columns = schema::columnNames(table);
    for (const QString& name : left)
        columns.removeAll(name);
    return columns;
}

// A child table's sheet: its rows name their POS by B/L or AWB number.
TemplateSheet childSheet(const QString& name, const QString& table) {
    return {name, table, QStringList{"nobl"} + columnsWithout(table, {"nodaftar"})};
}

// The cell formats of the columns: text stays text ("0001"), dates and times show as such.
struct ColumnFormats {
    explicit ColumnFormats(lxw_workbook* book)
        : heading(workbook_add_format(book)), text(workbook_add_format(book)),
          date(workbook_add_format(book)), time(workbook_add_format(book)) {
        format_set_bold(heading);
        format_set_num_format(text, "@");
        format_set_num_format(date, "yyyy-mm-dd");
        format_set_num_format(time, "hh:mm");
    }
    lxw_format* forColumn(const QString& column) const {
        switch (schema::columnKind(column)) {
        case schema::ColumnKind::Date:
            return date;
        case schema::ColumnKind::Time:
            return time;
        case schema::ColumnKind::Number:
        case schema::ColumnKind::Boolean:
            return nullptr;
        case schema::ColumnKind::Text:
            break;
        }
        return text;
    }
    lxw_format* heading;
    lxw_format* text;
    lxw_format* date;
    lxw_format* time;
};

void addSheet(lxw_workbook* book, const ColumnFormats& formats, const TemplateSheet& sheet) {
    lxw_worksheet* worksheet = workbook_add_worksheet(book, sheet.name.toUtf8().constData());
    for (qsizetype c = 0; c < sheet.columns.size(); ++c) {
        const QString& column = sheet.columns[c];
        const auto index = static_cast<lxw_col_t>(c);
        const double width = std::max(kMinimumWidth, column.size() + 2.0);
        worksheet_set_column(worksheet, index, index, width, formats.forColumn(column));
        worksheet_write_string(worksheet, 0, index, column.toUtf8().constData(), formats.heading);
    }
    worksheet_freeze_panes(worksheet, 1, 0);
}

} // namespace

std::vector<TemplateSheet> templateSheets(ManifestKind kind) {
    const bool air = kind == ManifestKind::Air;
    std::vector<TemplateSheet> sheets = {
        {"Header", "tblheader", columnsWithout("tblheader", {"nodaftar", "status"})},
        {"POS", "tbldetail",
         columnsWithout("tbldetail",
                        air ? QStringList{"nodaftar", "mot_vessel"} : QStringList{"nodaftar"})},
        childSheet("Barang", "tblhs"),
    };
    if (!air)
        sheets.push_back(childSheet("Kontainer", "tblcontainer"));
    sheets.push_back(childSheet("Dokumen", "tblpeb"));
    return sheets;
}

void writeSheetTemplate(const QString& path, ManifestKind kind) {
    refuseInstallationFile(path);
    DurableFile file(path, FileAccess::Shared);
    lxw_workbook* book = workbook_new(QFile::encodeName(file.temporaryPath()).constData());
    if (!book)
        throw UserError(QStringLiteral("Cannot write %1: out of memory").arg(path));
    const ColumnFormats formats(book);
    for (const TemplateSheet& sheet : templateSheets(kind))
        addSheet(book, formats, sheet);
    const lxw_error result = workbook_close(book);
    if (result != LXW_NO_ERROR)
        throw UserError(QStringLiteral("Cannot write %1: %2")
                            .arg(path, QString::fromUtf8(lxw_strerror(result))));
    file.commit();
}

} // namespace vastrel
