#include "MissingReference.h"

#include "ReferenceTables.h"

#include <QStringList>

namespace vastrel {

namespace {

// Each list's name on the screens and how a clerk fills it. Customs offices and groups
// belong to the agency: the program ships none.
QString howToFill(const QString& kind) {
    static const QString byAdmin =
        QStringLiteral(" (dari file CSV kantor Anda: vastrel-admin reference load --home FOLDER %1 "
                       "FILE.csv)");
    if (kind == QLatin1String("pelabuhan"))
        return QStringLiteral("Pelabuhan (menu Referensi, Muat Kode Pelabuhan..., dari rilis "
                              "UN/LOCODE)");
    if (kind == QLatin1String("kemasan"))
        return "Satuan Kemasan" + byAdmin.arg(kind);
    if (kind == QLatin1String("hs"))
        return "Kode HS" + byAdmin.arg(kind);
    if (kind == QLatin1String("kpbc"))
        return "KPBC" + byAdmin.arg(kind);
    return "Grup Manifes" + byAdmin.arg(kind);
}

} // namespace

QString emptyGroupMessage() {
    return "Daftar grup manifes masih kosong, sehingga header belum dapat disimpan. Isi daftar " +
           howToFill(QStringLiteral("grup"));
}

QString missingReferenceMessage(const Database& db) {
    QStringList missing;
    for (const ReferenceState& state : referenceStatus(db)) {
        if (state.rows == 0)
            missing << "- " + howToFill(state.kind);
    }
    if (missing.isEmpty())
        return {};
    return "Daftar referensi berikut masih kosong:\n" + missing.join('\n');
}

} // namespace vastrel
