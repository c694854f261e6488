#pragma once

#include "FlatFileReader.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace vastrel {

class Database;

// What importing a flat file would do, worked out without writing anything, so that a
// screen can show it for confirmation before importFlatFile() writes it.
struct FlatFileImportPlan {
    FlatFileReading reading;    // the file as read; its problems refuse the import
    QStringList refusals;       // why it may not be imported; empty when it may
    QStringList warnings;       // imported all the same: unknown codes, a different vessel
    QString target;             // the manifest key written into
    bool newManifest = true;    // false when appending to an existing manifest
    QString registrationNumber; // the six-digit number a new manifest takes
    QStringList posNumbers;     // the number each POS of the file is stored under, in order
    // The refusals and the warnings in Indonesian, one for one.
    QStringList refusalsInIndonesian;
    QStringList warningsInIndonesian;
    // The file imported, recorded with the import by its SHA-256 (hex), and its earlier
    // imports: into the same manifest, or into any for a new manifest.
    QString sourceName;
    QString sourceDigest;
    struct EarlierImport {
        QString nodaftar;
        QString importedAt; // "yyyy-MM-dd HH:mm:ss" UTC
    };
    QList<EarlierImport> importedBefore;

    bool canImport() const { return refusals.isEmpty(); }
    // Add a refusal or a warning in both languages.
    void refuse(const Wording& why);
    void warn(const Wording& what);
    // "manifest 20240315000002 (new): 2 POS, 3 goods lines, 1 container, 0 documents, ..."
    QString summary() const;
    // "manifes 20240315000002 (baru): 2 POS, 3 baris barang, 1 kontainer, 0 dokumen, ..."
    QString summaryInIndonesian() const;
};

// Plans the import of a flat file already read. Without `into` it makes a new manifest
// registered today with the next registration number, its POS numbered as in the file;
// with `into` the file's POS follow that manifest's highest POS and its header stays.
// `air` is the installation's manifest kind, which the file must share.
FlatFileImportPlan planFlatFileImport(const Database& db, bool air, FlatFileReading reading,
                                      const QString& into = {},
                                      const QDate& today = QDate::currentDate());

// What the entry screens would refuse to store blank, each at its POS's DTL01 line: a B/L
// number, mother vessel, package unit or goods description that a POS of `group` needs.
QList<FlatFileProblem> blankRequired(const FlatFileManifest& manifest, const QString& group);

// The SHA-256 (hex) of a file's bytes, or of a folder's files, names and bytes, in name order.
// Throws UserError when one cannot be read.
QString sourceDigest(const QString& path);

// Names the file or folder at `path` as the plan's source and finds its earlier imports.
void identifySource(const Database& db, FlatFileImportPlan& plan, const QString& path);

// Reads the flat file at `path` and plans its import, its source identified.
FlatFileImportPlan planFlatFileImportAt(const Database& db, bool air, const QString& path,
                                        const QString& into = {}, const Progress& progress = {});

// Writes a plan in one transaction, all or nothing, adds its parties and vessel to the
// reference lists, records its source and recomputes the manifest's readiness, telling
// `progress` the POS written. The registration and POS numbers are taken again under the
// manifest's lock, so that imports and clerks saving at the same moment queue; the plan's
// `target` and `posNumbers` then say the numbers used. Throws FlatFileError for a refused
// plan and when the database fails, nothing written then; CommitOutcomeUnknown when the
// server's answer to the commit was lost.
void importFlatFile(Database& db, FlatFileImportPlan& plan, const Progress& progress = {});

} // namespace vastrel
