#include "FlatFileImportCommand.h"

#include "AppState.h"
#include "BusyCursor.h"
#include "FlatFile.h"
#include "FlatFileImport.h"
#include "Messages.h"
#include "SheetImport.h"

#include <QProgressDialog>
#include <QStringList>

#include <functional>

namespace vastrel {

namespace {

// At most this many problems are listed; the rest are counted.
constexpr int kProblemsShown = 15;
// A progress box moves in this many steps, so that it repaints now and then only.
constexpr int kProgressSteps = 100;
// A step quicker than this shows no progress box.
constexpr int kProgressDelayMs = 500;

// The first kProblemsShown of `lines`, then how many more there are of `count`.
QStringList firstShown(const QStringList& lines, qsizetype count, const QString& what) {
    QStringList shown = lines.mid(0, kProblemsShown);
    if (count > shown.size())
        shown << QStringLiteral("... dan %1 %2 lain").arg(count - shown.size()).arg(what);
    return shown;
}

QString refusalText(const FlatFileImportPlan& plan) {
    QStringList problems;
    for (const FlatFileProblem& problem : plan.reading.problems.listed().mid(0, kProblemsShown))
        problems << problem.toIndonesian();
    const QStringList lines =
        plan.refusalsInIndonesian +
        firstShown(problems, plan.reading.problems.count(), QStringLiteral("masalah"));
    return "File tidak dapat diimpor, tidak ada data yang disimpan:\n\n" + lines.join('\n');
}

// A file imported before is imported again only when the clerk says so.
QString repetitionText(const FlatFileImportPlan& plan) {
    QStringList earlier;
    for (const auto& before : plan.importedBefore)
        earlier << "manifes " + before.nodaftar + " pada " + before.importedAt + " UTC";
    return "File " + plan.sourceName + " sudah pernah diimpor (" + earlier.join(", ") +
           ").\n\nImpor sekali lagi?";
}

QString confirmationText(const FlatFileImportPlan& plan) {
    QString text = "Akan diimpor: " + plan.summaryInIndonesian();
    const QStringList& warnings = plan.warningsInIndonesian;
    if (!warnings.isEmpty())
        text += "\n\nPeringatan:\n" +
                firstShown(warnings, warnings.size(), QStringLiteral("peringatan")).join('\n');
    return text + "\n\nLanjutkan impor?";
}

// Runs a long step under the busy cursor, with a window-modal progress box that shows itself
// when the step lasts. It has no cancel button: an import is written all or nothing.
template <typename Step> auto withProgress(QWidget* parent, const QString& label, Step step) {
    const BusyCursor busy;
    QProgressDialog box(label, QString(), 0, kProgressSteps, parent);
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(kProgressDelayMs);
    box.setValue(0);
    // A modal box's setValue() processes events when the value changes, so the window
    // repaints at most kProgressSteps times.
    return step([&box](qint64 done, qint64 total) {
        box.setValue(total > 0 ? static_cast<int>(done * kProgressSteps / total) : kProgressSteps);
    });
}

// One kind of file the program imports: how it is asked for, planned and written.
struct ImportKind {
    QString caption;
    QString filter;
    std::function<FlatFileImportPlan(AppState&, const QString& path, const Progress&)> plan;
    std::function<void(Database&, FlatFileImportPlan&, const Progress&)> write;
};

QString importFile(AppState& state, QWidget* parent, const ImportKind& kind) {
    const QString path = Messages::openFileName(parent, kind.caption, kind.filter);
    if (path.isEmpty())
        return {};
    try {
        FlatFileImportPlan plan = withProgress(
            parent, QStringLiteral("Membaca dan memeriksa file..."),
            [&](const Progress& progress) { return kind.plan(state, path, progress); });
        if (!plan.canImport()) {
            Messages::show(parent, refusalText(plan));
            return {};
        }
        if (!plan.importedBefore.isEmpty() && !Messages::ask(parent, repetitionText(plan)))
            return {};
        if (!Messages::ask(parent, confirmationText(plan)))
            return {};
        withProgress(parent, QStringLiteral("Mengimpor data..."),
                     [&](const Progress& progress) { kind.write(state.Conn, plan, progress); });
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
                       [](AppState& s, const QString& path, const Progress& progress) {
                           return planFlatFileImportAt(s.Conn, s.isAir(), path, {}, progress);
                       },
                       importFlatFile});
}

QString ImportSpreadsheet(AppState& state, QWidget* parent) {
    return importFile(
        state, parent,
        {QStringLiteral("Import Spreadsheet"), QStringLiteral("Workbook (*.xlsx);;All Files (*)"),
         [](AppState& s, const QString& path, const Progress& progress) {
             return planSheetImport(s.Conn, s.isAir(), path, {}, QDate::currentDate(), progress);
         },
         importSheet});
}

} // namespace vastrel
