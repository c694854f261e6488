#pragma once

#include "Problems.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <utility>

namespace vastrel {

// How far a long step has come: `done` of `total` (bytes read, rows checked, POS written).
// Called now and then, and with `done` equal to `total` at the end.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Values below are in the forms the database stores: dates "yyyy-MM-dd" and times
// "HH:mm:ss" (a null QVariant when the field is blank), quantities as doubles, counts as
// whole numbers, texts as the file holds them.

struct FlatFileHeader {
    bool air = false;    // mode of transport "2"
    QString jnsmanifest; // "Inward" or "Outward"
    QString vessel;
    QString voyage;
    QVariant arrivingdate;
    QVariant arrivingtime;
    // Repeated by every DTL01; taken from the first one.
    QString kdgrup;
    QString noMaster;
    QVariant tglMaster;
    bool operator==(const FlatFileHeader&) const = default;
};

struct FlatFileGoods {
    QString hs;
    QString uraian;
    bool operator==(const FlatFileGoods&) const = default;
};

struct FlatFileDocument {
    QString jenispeb;
    QString kpbc;
    QString pebno;
    QVariant pebtgl;
    bool operator==(const FlatFileDocument&) const = default;
};

struct FlatFileContainer {
    QVariant nocountener; // null when blank and left out of the POS's container count
    QString ukuran;
    QString tipe;
    QString seal;
    bool operator==(const FlatFileContainer&) const = default;
};

struct FlatFilePos {
    int line = 0; // of its DTL01
    QString nopos;
    QString flagconsolidate;
    QVariant flagpartial; // null for a blank flag written in the "E" layout
    QString pasalcd, pmuatcd, pbongkarcd, pakhircd;
    QString motVessel;
    QString nobl;
    QVariant tglbl;
    double bruto = 0;
    double volume = 0;
    qlonglong jmlkemasan = 0;
    qlonglong grandcontainer = 0; // "E" layout only
    qlonglong grandpackage = 0;   // "E" layout only
    QString satuankemasan;
    QString snm, sna, cnm, cna, nnm, nna, mark;
    QList<FlatFileGoods> goods;
    QList<FlatFileDocument> documents;
    QList<FlatFileContainer> containers;
    bool operator==(const FlatFilePos&) const = default;
};

struct FlatFileManifest {
    FlatFileHeader header;
    QList<FlatFilePos> pos;
    bool operator==(const FlatFileManifest&) const = default;

    int goodsCount() const;
    int containerCount() const;
    int documentCount() const;
    // "sea, inward: 2 POS, 3 goods lines, 1 container, 0 documents"
    QString summary() const;
};

// What a manifest holds at most: POS 0001-9998, and in every POS lines 0001-9998 of each
// kind (goods, documents, containers). A reader stops at the first thing beyond.
constexpr int kLastPos = 9998;
constexpr int kLastLine = 9998;
// The biggest flat file read, many times a large manifest's: a bigger one is refused before
// it fills memory.
constexpr qint64 kMaxFlatFileBytes = 64LL * 1024 * 1024;

// What a read found: the manifest as far as it could be read, and its problems in the
// order of the file. A file without problems is one the flat-file writer could have written.
struct FlatFileReading {
    FlatFileManifest manifest;
    ProblemList problems;
    int lineCount = 0;
};

// Reads and checks a flat file's bytes (Windows-1252, CR LF line ends), record by record,
// telling `progress` the bytes read.
FlatFileReading readFlatFile(const QByteArray& bytes, const Progress& progress = {});

// Reads the file at `path`; throws FlatFileError when it cannot be opened or is bigger than
// kMaxFlatFileBytes.
FlatFileReading readFlatFileAt(const QString& path, const Progress& progress = {});

} // namespace vastrel
