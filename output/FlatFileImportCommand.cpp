#include "FlatFileImportCommand.h"

#include "AppState.h"
#include "BusyCursor.h"
#include "FlatFile.h"
#include "FlatFileImport.h"
#include "Messages.h"
#include "SheetImport.h"

#include <QStringList>

#include <functional>

namespace vastrel {

namespace {

// At most this many problems are listed; the rest are counted.
constexpr int kProblemsShown = 15;

QString refusalText(const FlatFileImportPlan& plan) {
    QStringList lines = plan.refusals;
    const auto& problems = plan.reading.problems;
    for (int i = 0; i < problems.size() && i < kProblemsShown; ++i)
        lines << problems[i].toString();
    if (problems.size() > kProblemsShown)
        lines << QStringLiteral("... dan %1 masalah lain").arg(problems.size() - kProblemsShown);
    return "File tidak dapat diimpor, tidak ada data yang disimpan:\n\n" + lines.join('\n');
}

QString confirmationText(const FlatFileImportPlan& plan) {
    QString text = "Akan diimpor: " + plan.summary();
    if (!plan.warnings.isEmpty())
        text += "\n\nPeringatan:\n" + plan.warnings.join('\n');
    return text + "\n\nLanjutkan impor?";
}

// One kind of file the program imports: how it is asked for, planned and written.
struct ImportKind {
    QString caption;
    QString filter;
    std::function<FlatFileImportPlan(AppState&, const QString& path)> plan;
    std::function<void(Database&, const FlatFileImportPlan&)> write;
};

QString importFile(AppState& state, QWidget* parent, const ImportKind& kind) {
    const QString path = Messages::openFileName(parent, kind.caption, kind.filter);
    if (path.isEmpty())
        return {};
    try {
        FlatFileImportPlan plan;
        {
            const BusyCursor busy;
            plan = kind.plan(state, path);
        }
        if (!plan.canImport()) {
            Messages::show(parent, refusalText(plan));
            return {};
        }
        if (!Messages::ask(parent, confirmationText(plan)))
            return {};
        {
            const BusyCursor busy;
            kind.write(state.Conn, plan);
        }
        Messages::show(parent, "Data telah diimpor ke manifes " + plan.target,
                       Messages::kInformation, Messages::Icon::Information);
        return plan.target;
    } catch (const std::runtime_error& e) { // FlatFileError, UserError or DbError: nothing written
        Messages::showError(parent, e);
        return {};
    }
}

} // namespace

QString ImportFlatFile(AppState& state, QWidget* parent) {
    return importFile(state, parent,
                      {QStringLiteral("Import Flat File"),
                       QStringLiteral("Text File (*.txt);;All Files (*)"),
                       [](AppState& s, const QString& path) {
                           return planFlatFileImport(s.Conn, s.isAir(), readFlatFileAt(path));
                       },
                       importFlatFile});
}

QString ImportSpreadsheet(AppState& state, QWidget* parent) {
    return importFile(
        state, parent,
        {QStringLiteral("Import Spreadsheet"), QStringLiteral("Workbook (*.xlsx);;All Files (*)"),
         [](AppState& s, const QString& path) { return planSheetImport(s.Conn, s.isAir(), path); },
         importSheet});
}

} // namespace vastrel
