#pragma once

#include <QString>

#include <functional>

namespace vastrel {

class Database;

// Registration numbers run from 000001 to 999998 and then start again at
// 000001; POS and line numbers run from 0001 to 9998 and then start again at
// 0001. A number proposed after such a wrap may already be taken: the screens
// check with the *Exists routines before they insert.

// The next registration number after tblsetting.nodaftarauto. Throws DbError
// when the stored counter is not a number.
QString GetNoDaftarAuto(const Database& db);
// Stores the registration number a new manifest used.
void SaveNoDaftarAuto(Database& db, const QString& number);

QString GetNextPos(const Database& db, const QString& nodaftar);
QString GetNextSeqHs(const Database& db, const QString& nodaftar, const QString& nopos);
QString GetNextSeqContainer(const Database& db, const QString& nodaftar, const QString& nopos);
QString GetNextSeqPeb(const Database& db, const QString& nodaftar, const QString& nopos);

bool HeaderExists(const Database& db, const QString& nodaftar);
bool PosExists(const Database& db, const QString& nodaftar, const QString& nopos);
// `table` is one of tblhs, tblcontainer, tblpeb.
bool LineExists(const Database& db, const QString& table, const QString& nodaftar,
                const QString& nopos, const QString& noseq);

// The number after `last` in a scope of `width` digits; `last` empty means none yet.
QString nextNumber(const QString& last, int width);

// The first number after `taken`, in a scope of `width` digits, that `isFree` accepts:
// offered when the number a screen showed was taken meanwhile. Empty when none is free.
QString nextFreeNumber(const QString& taken, int width,
                       const std::function<bool(const QString&)>& isFree);

} // namespace vastrel
