#include "FlatFileImportCommand.h"

#include "AppState.h"
#include "BusyCursor.h"
#include "FlatFile.h"
#include "FlatFileImport.h"
#include "Messages.h"

#include <QStringList>

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

} // namespace

QString ImportFlatFile(AppState& state, QWidget* parent) {
    const QString path = Messages::openFileName(parent, QStringLiteral("Import Flat File"),
                                                QStringLiteral("Text File (*.txt);;All Files (*)"));
    if (path.isEmpty())
        return {};
    try {
        FlatFileImportPlan plan;
        {
            const BusyCursor busy;
            plan = planFlatFileImport(state.Conn, state.isAir(), readFlatFileAt(path));
        }
        if (!plan.canImport()) {
            Messages::show(parent, refusalText(plan));
            return {};
        }
        if (!Messages::ask(parent, confirmationText(plan)))
            return {};
        {
            const BusyCursor busy;
            importFlatFile(state.Conn, plan);
        }
        Messages::show(parent, "Flat file telah diimpor ke manifes " + plan.target,
                       Messages::kInformation, Messages::Icon::Information);
        return plan.target;
    } catch (const std::runtime_error& e) { // FlatFileError or DbError: nothing was written
        Messages::showError(parent, e);
        return {};
    }
}

} // namespace vastrel
