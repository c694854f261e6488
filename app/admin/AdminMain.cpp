// vastrel-admin: sets up and maintains an installation from the command line.

#include "CsvImport.h"
#include "Database.h"
#include "DemoData.h"
#include "FlatFile.h"
#include "Installation.h"
#include "ManifestReports.h"
#include "Numbering.h"
#include "Readiness.h"
#include "ReportLayouts.h"
#include "StartUp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

using namespace vastrel;

namespace {

struct Command {
    const char* usage;
    int positional; // number of values the command takes besides its options
    std::function<void(const QStringList& values, const QStringList& options)> run;
    int optional = 0; // number of further values it may take
};

void print(FILE* out, const QString& text) {
    std::fputs(qPrintable(text + '\n'), out);
}

// Splits arguments into plain values and "--name value" options (flags have no value).
bool splitArguments(const QStringList& args, QStringList* values, QStringList* options) {
    static const QStringList flags = {"--demo", "--help"};
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith("--") && args[i] != "-o") {
            *values << args[i];
        } else if (flags.contains(args[i])) {
            *options << args[i] << QString();
        } else if (i + 1 < args.size()) {
            *options << args[i] << args[i + 1];
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

QString option(const QStringList& options, const QString& name) {
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] == name)
            return options[i + 1];
    }
    return {};
}

QString requireHome(const QStringList& options) {
    const QString home = resolveProgramFolder(options, QString());
    if (home.isEmpty())
        throw DbError("--home DIR is required");
    return home;
}

// Why the generate screen would refuse to write the manifest's flat file, in the screen's
// order and words; empty when it may be written.
QString generateRefusal(const Database& db, const QString& nodaftar) {
    return vastrel::generateRefusal(HeaderExists(db, nodaftar), CountDetail(db, nodaftar) > 0,
                                    GetStatus(db, nodaftar));
}

// The installation's state as the program starts it: connection, manifest kind and version.
void startInstallation(AppState& state, const QString& home) {
    state.programFolder = home;
    switch (StartUp(state)) {
    case StartScreen::IniFailed:
        throw DbError("Cannot read " + state.iniPath().toStdString());
    case StartScreen::ConnectionFailed:
        throw DbError(kConnectionFailedMessage.toStdString());
    case StartScreen::Login:
    case StartScreen::Profile:
        break;
    }
}

// Writes the detail report of one POS or the recap of a manifest as a PDF file.
void writeReport(const QStringList& values, const QStringList& options) {
    const QString target = option(options, "-o");
    if (target.isEmpty())
        throw ReportError("-o FILE.pdf is required");
    const bool detail = values[0] == "detail";
    if (!detail && values[0] != "recap")
        throw ReportError("Unknown report " + values[0].toStdString() + ": detail or recap");
    if (values.size() != (detail ? 3 : 2))
        throw ReportError(detail ? "report detail needs NODAFTAR and NOPOS"
                                 : "report recap needs NODAFTAR alone");
    AppState state;
    startInstallation(state, requireHome(options));
    const ManifestReports reports(state.Conn, state.StrJenis, state.StrVersion);
    const ReportContent content =
        detail ? reports.RptManifesDetil(values[1], values[2]) : reports.RptManifesRekap(values[1]);
    layoutReport(content).writePdf(target);
    print(stdout, "Report written to " + target);
}

const std::map<QString, Command>& commands() {
    static const std::map<QString, Command> all = {
        {"init",
         {"init DIR --password PASSWORD [--kind sea|air] [--demo]\n"
          "  Creates MANIFEST.INI and the encrypted database in DIR. --kind sets JENIS in\n"
          "  MANIFEST.INI and the demo profile; without --demo the company profile screen\n"
          "  asks for the profile and the manifest kind on the first run.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString kind = option(options, "--kind");
              if (!kind.isEmpty() && kind != "sea" && kind != "air")
                  throw DbError("--kind must be sea or air");
              initInstallation({values[0], option(options, "--password").toStdString(),
                                kind == "air", options.contains("--demo")});
              print(stdout, "Installation created in " + values[0]);
          }}},
        {"user",
         {"user add --home DIR NAME PASSWORD\n  Adds a user who may log in.", 3,
          [](const QStringList& values, const QStringList& options) {
              if (values[0] != "add")
                  throw DbError("Unknown user command " + values[0].toStdString());
              Database db = openInstallation(requireHome(options));
              addUser(db, values[1], values[2]);
              print(stdout, "User " + values[1].toUpper() + " added");
          }}},
        {"import",
         {"import --home DIR TABLE FILE.csv\n"
          "  Loads a CSV file (first row: column names) into a table; all rows or none.",
          2,
          [](const QStringList& values, const QStringList& options) {
              Database db = openInstallation(requireHome(options));
              const int count = importCsv(db, values[0], values[1]);
              print(stdout, QStringLiteral("%1 rows loaded into %2").arg(count).arg(values[0]));
          }}},
        {"flatfile",
         {"flatfile --home DIR NODAFTAR -o FILE\n"
          "  Writes the flat file of a ready manifest to FILE, as the generate screen does.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString target = option(options, "-o");
              if (target.isEmpty())
                  throw FlatFileError("-o FILE is required");
              AppState state;
              state.Conn = openInstallation(requireHome(options));
              GetJenisManifest(state);
              const QString refusal = generateRefusal(state.Conn, values[0]);
              if (!refusal.isEmpty())
                  throw FlatFileError(refusal.toStdString());
              FlatFile(state.Conn, values[0], state.StrJenis).CreateFlatFile(target);
              print(stdout, "Flat file telah dibuat");
          }}},
        {"report",
         {"report detail --home DIR NODAFTAR NOPOS -o FILE.pdf\n"
          "report recap --home DIR NODAFTAR -o FILE.pdf\n"
          "  Writes the detail report of one POS, or the header recap of a whole manifest,\n"
          "  as a PDF file, as the generate screen prints them.",
          2, writeReport, 1}},
        {"password",
         {"password --home DIR NEW_PASSWORD\n"
          "  Re-enciphers the database under a new password and updates MANIFEST.INI.",
          1,
          [](const QStringList& values, const QStringList& options) {
              changePassword(requireHome(options), values[0].toStdString());
              print(stdout, "Password changed");
          }}},
    };
    return all;
}

void printUsage(FILE* out) {
    print(out, "Usage: vastrel-admin COMMAND [ARGS]   (COMMAND --help for details)\n");
    for (const auto& [name, command] : commands())
        print(out, "  " + QString::fromLatin1(command.usage).section('\n', 0, 0));
}

// Reports paint text, which needs a GUI application; without a display it paints offscreen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[]) {
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h") {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const auto found = commands().find(args.takeFirst());
    if (found == commands().end()) {
        printUsage(stderr);
        return 2;
    }
    const Command& command = found->second;
    QStringList values, options;
    const bool parsed = splitArguments(args, &values, &options);
    if (options.contains("--help")) {
        print(stdout, "Usage: vastrel-admin " + QString::fromLatin1(command.usage));
        return 0;
    }
    if (!parsed || values.size() < command.positional ||
        values.size() > command.positional + command.optional) {
        print(stderr, "Usage: vastrel-admin " + QString::fromLatin1(command.usage));
        return 2;
    }
    try {
        command.run(values, options);
    } catch (const std::exception& e) {
        print(stderr, "vastrel-admin: " + QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}
