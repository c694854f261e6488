#include "FilingDiff.h"

#include "Filings.h"
#include "FlatFile.h"
#include "UserError.h"

namespace vastrel {

namespace {

QString text(const QVariant& value) {
    return value.toString();
}

// The fields of a POS as the flat file carries them, each as text, by name.
QList<std::pair<QString, QString>> fieldsOf(const FlatFilePos& p) {
    QList<std::pair<QString, QString>> fields = {
        {"flagconsolidate", p.flagconsolidate},
        {"flagpartial", text(p.flagpartial)},
        {"pasalcd", p.pasalcd},
        {"pmuatcd", p.pmuatcd},
        {"pbongkarcd", p.pbongkarcd},
        {"pakhircd", p.pakhircd},
        {"mot_vessel", p.motVessel},
        {"nobl", p.nobl},
        {"tglbl", text(p.tglbl)},
        {"bruto", QString::number(p.bruto, 'g', 15)},
        {"volume", QString::number(p.volume, 'g', 15)},
        {"jmlkemasan", QString::number(p.jmlkemasan)},
        {"grandcontainer", QString::number(p.grandcontainer)},
        {"grandpackage", QString::number(p.grandpackage)},
        {"satuankemasan", p.satuankemasan},
        {"snm", p.snm},
        {"sna", p.sna},
        {"cnm", p.cnm},
        {"cna", p.cna},
        {"nnm", p.nnm},
        {"nna", p.nna},
        {"mark", p.mark},
    };
    const auto line = [](const QString& kind, qsizetype index) {
        return QStringLiteral("%1 %2").arg(kind).arg(index + 1, 4, 10, QLatin1Char('0'));
    };
    for (qsizetype i = 0; i < p.goods.size(); ++i)
        fields.append({line("goods", i), p.goods[i].hs + ' ' + p.goods[i].uraian});
    for (qsizetype i = 0; i < p.containers.size(); ++i) {
        const FlatFileContainer& c = p.containers[i];
        fields.append({line("container", i),
                       QStringList{text(c.nocountener), c.ukuran, c.tipe, c.seal}.join(' ')});
    }
    for (qsizetype i = 0; i < p.documents.size(); ++i) {
        const FlatFileDocument& d = p.documents[i];
        fields.append({line("document", i),
                       QStringList{d.jenispeb, d.kpbc, d.pebno, text(d.pebtgl)}.join(' ')});
    }
    return fields;
}

QStringList changedFields(const FlatFilePos& was, const FlatFilePos& is) {
    const auto before = fieldsOf(was);
    const auto after = fieldsOf(is);
    QStringList names;
    for (const auto& field : before + after) {
        if (!names.contains(field.first))
            names << field.first;
    }
    const auto valueIn = [](const QList<std::pair<QString, QString>>& fields, const QString& name) {
        for (const auto& field : fields) {
            if (field.first == name)
                return field.second;
        }
        return QStringLiteral("(none)");
    };
    QStringList changes;
    for (const QString& name : names) {
        const QString old = valueIn(before, name);
        const QString now = valueIn(after, name);
        if (old != now)
            changes << name + ": " + old + " -> " + now;
    }
    return changes;
}

const FlatFilePos* findPos(const FlatFileManifest& manifest, const QString& nopos) {
    for (const FlatFilePos& pos : manifest.pos) {
        if (pos.nopos == nopos)
            return &pos;
    }
    return nullptr;
}

FlatFileManifest manifestOf(const QByteArray& bytes) {
    return readFlatFile(bytes).manifest;
}

} // namespace

QList<PosChange> diffManifests(const FlatFileManifest& filed, const FlatFileManifest& now) {
    QList<PosChange> changes;
    for (const FlatFilePos& was : filed.pos) {
        const FlatFilePos* is = findPos(now, was.nopos);
        if (!is)
            changes.append({was.nopos, PosChange::Kind::Removed, {}});
        else if (const QStringList fields = changedFields(was, *is); !fields.isEmpty())
            changes.append({was.nopos, PosChange::Kind::Changed, fields});
    }
    for (const FlatFilePos& is : now.pos) {
        if (!findPos(filed, is.nopos))
            changes.append({is.nopos, PosChange::Kind::Added, {}});
    }
    return changes;
}

QList<PosChange> changesSinceFiling(const Database& db, const QString& nodaftar,
                                    const QString& jenis, qint64 since) {
    if (since == 0) {
        const QList<Filing> filings = listFilings(db, nodaftar);
        if (filings.isEmpty())
            throw UserError("Manifest " + nodaftar + " has not been filed yet",
                            "Manifes " + nodaftar + " belum pernah dikirim");
        since = filings.first().id;
    }
    return diffManifests(manifestOf(filedBytes(db, since)),
                         manifestOf(FlatFile(db, nodaftar, jenis).bytes()));
}

QString describe(const PosChange& change, const PosChangeWords& words) {
    switch (change.kind) {
    case PosChange::Kind::Added:
        return "POS " + change.nopos + ' ' + words.added;
    case PosChange::Kind::Removed:
        return "POS " + change.nopos + ' ' + words.removed;
    case PosChange::Kind::Changed:
        break;
    }
    return "POS " + change.nopos + ' ' + words.changed + change.fields.join(words.betweenFields);
}

} // namespace vastrel
