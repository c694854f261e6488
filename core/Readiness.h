#pragma once

#include <QString>

namespace vastrel {

class Database;

// Children of a manifest or a POS.
int CountDetail(const Database& db, const QString& nodaftar);
int CountHs(const Database& db, const QString& nodaftar, const QString& nopos);
int CountPeb(const Database& db, const QString& nodaftar, const QString& nopos);
int CountKontainer(const Database& db, const QString& nodaftar, const QString& nopos);
int CountHsManifest(const Database& db, const QString& nodaftar);
int CountContainerManifest(const Database& db, const QString& nodaftar);

struct HeaderKind {
    QString jnsmanifest; // "Inward" or "Outward"
    QString kdgrup;
};

bool IsGroup08X(const Database& db, const QString& nodaftar);
HeaderKind GetHeaderKind(const Database& db, const QString& nodaftar);
bool PebExists(const Database& db, const QString& nodaftar, const QString& nopos);
// True when the manifest has a POS and, unless `skipPeb`, every POS has a
// package unit and at least one customs document.
bool CheckPebPerPos(const Database& db, const QString& nodaftar, bool skipPeb);
// The readiness measure: at least 1 means ready.
int GetMinHsCount(const Database& db, const QString& nodaftar);

// A manifest is ready ('Y') when it has a POS and either its group is "08X",
// or every POS has a goods line and, for an outward "09E"/"10E" manifest,
// also a package unit and a customs document.
void UpdateStatus(Database& db, const QString& nodaftar);
// The stored status; "N" when the manifest does not exist.
QString GetStatus(const Database& db, const QString& nodaftar);

} // namespace vastrel
