#pragma once

#include "FlatFileImport.h"
#include "XlsxReader.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace vastrel {

class Database;

// A workbook read into a manifest. Every row is checked as the entry screens check what is
// typed; each problem names its sheet and row ("POS row 7") and refuses the import, the
// warnings (a container number with a wrong check digit) do not.
struct SheetReading {
    FlatFileReading reading;
    QStringList warnings;
    QStringList warningsInIndonesian;
};

// Reads the sheets of the import workbook (see XlsxTemplate.h) for the installation's kind,
// telling `progress` the rows checked. Child rows name their POS by "nobl"; their lines keep
// the order of the sheet. With `into` the Header sheet may be left empty, and the rules that
// depend on the group and the direction follow that manifest's header. A heading row's
// faults are problems like the rows' own.
SheetReading readManifestSheets(const Database& db, bool air, const Workbook& book,
                                const QString& into = {}, const Progress& progress = {});

// Reads the workbook at `path` (an .xlsx file or a folder of CSV files) and plans its
// import as planFlatFileImport() does, the reading's warnings first. Throws UserError when
// the file cannot be read as a workbook.
FlatFileImportPlan planSheetImport(const Database& db, bool air, const QString& path,
                                   const QString& into = {},
                                   const QDate& today = QDate::currentDate(),
                                   const Progress& progress = {});

// Writes a plan of planSheetImport() as importFlatFile() does. Throws FlatFileError, with
// nothing written, for a refused plan and when the database fails.
void importSheet(Database& db, FlatFileImportPlan& plan, const Progress& progress = {});

} // namespace vastrel
