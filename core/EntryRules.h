#pragma once

#include <QString>
#include <QStringList>

namespace vastrel {

// The columns of tbldetail a POS's save and an import write besides its key, in order.
inline const QStringList kPosColumns = {"mot_vessel",
                                        "nobl",
                                        "tglbl",
                                        "pasalcd",
                                        "pmuatcd",
                                        "pbongkarcd",
                                        "pakhircd",
                                        "snm",
                                        "sna",
                                        "cnm",
                                        "cna",
                                        "nnm",
                                        "nna",
                                        "mark",
                                        "bruto",
                                        "volume",
                                        "jmlkemasan",
                                        "satuankemasan",
                                        "flagconsolidate",
                                        "flagpartial",
                                        "grandcontainer",
                                        "grandpackage"};

// The most characters an entry screen takes for a column of the manifest tables (the
// column's name, as in tbldetail or tblpeb); 0 for a column no box limits.
int EntryMaxLength(const QString& column);

// Whether the entry screens refuse to store `column` blank: a POS's B/L number ("nobl"), its
// mother vessel ("mot_vessel") at sea, its package unit ("satuankemasan") outside group 08X,
// and a goods line's description ("uraian"). The imports hold their values to the same rule.
bool RequiredOnEntry(const QString& column, bool air, const QString& group);

// The container sizes the container screen offers.
QStringList ContainerSizes();
// The container types as shown; the first letter is the stored code.
QStringList ContainerTypes();

struct DocumentKind {
    const char* code;
    const char* text;
};
// The document kinds by stored code; those offered come first, a consolidation document is
// only ever shown.
inline constexpr DocumentKind kDocumentKinds[] = {{"PEB", "PEB (BC3.0)"},
                                                  {"PBB", "PBB (PEB Berkala)"},
                                                  {"SAD", "SAD (Single Administratif Document)"},
                                                  {"PKB", "PKB (PKBE - Konsolidasi)"}};
inline constexpr int kOfferedDocumentKinds = 3;
// A document number has this many digits, zeros added in front.
inline constexpr int kDocumentNumberDigits = 6;

// Weights and volumes are stored to four decimals, a half going to the even digit.
double RoundToFourDecimals(double value);

} // namespace vastrel
