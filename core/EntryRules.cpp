#include "EntryRules.h"

#include <QHash>

#include <cmath>

namespace vastrel {

int EntryMaxLength(const QString& column) {
    static const QHash<QString, int> lengths = {
        {"vessel", 40},      {"voyage", 10},
        {"no_master", 20},   {"mot_vessel", 40},
        {"nobl", 30},        {"pasalcd", 5},
        {"pmuatcd", 5},      {"pbongkarcd", 5},
        {"pakhircd", 5},     {"snm", 2000},
        {"sna", 2000},       {"cnm", 2000},
        {"cna", 2000},       {"nnm", 2000},
        {"nna", 2000},       {"mark", 3000},
        {"jmlkemasan", 8},   {"satuankemasan", 2},
        {"bruto", 22},       {"volume", 22},
        {"grandpackage", 8}, {"grandcontainer", 8},
        {"hs", 10},          {"uraian", 3000},
        {"nocountener", 20}, {"seal", 15},
        {"kpbc", 6},         {"pebno", kDocumentNumberDigits}};
    return lengths.value(column.toLower(), 0);
}

bool RequiredOnEntry(const QString& column, bool air, const QString& group) {
    if (column == u"mot_vessel")
        return !air;
    if (column == u"satuankemasan")
        return group.compare(QLatin1String("08X"), Qt::CaseInsensitive) != 0;
    return column == u"nobl" || column == u"uraian";
}

QStringList ContainerSizes() {
    return {"20", "40", "45"};
}

QStringList ContainerTypes() {
    return {"FCL", "LCL", "Empty Container"};
}

double RoundToFourDecimals(double value) {
    const double scaled = value * 10000.0;
    const double lower = std::floor(scaled);
    if (std::abs(scaled - lower - 0.5) > 1e-6)
        return std::round(scaled) / 10000.0;
    return (std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0) / 10000.0;
}

} // namespace vastrel
