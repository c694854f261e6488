// vastrel-admin: sets up and maintains an installation from the command line.

#include "CoreDumps.h"
#include "CsvImport.h"
#include "Database.h"
#include "DemoData.h"
#include "DurableFile.h"
#include "FilingDiff.h"
#include "Filings.h"
#include "FlatFile.h"
#include "FlatFileImport.h"
#include "History.h"
#include "Installation.h"
#include "InstallationFiles.h"
#include "LocodeRelease.h"
#include "ManifestReports.h"
#include "Migration.h"
#include "Numbering.h"
#include "Readiness.h"
#include "ReferencePack.h"
#include "ReportLayouts.h"
#include "Schema.h"
#include "SheetImport.h"
#include "StartUp.h"
#include "XlsxTemplate.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <termios.h>
#include <unistd.h>

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
// False for an option without its value, or one no command knows (a mistyped option would
// otherwise be taken for another's value or ignored); `unknown` names it.
bool splitArguments(const QStringList& args, QStringList* values, QStringList* options,
                    QString* unknown) {
    static const QStringList flags = {
        "--demo",         "--help", "--password-stdin",      "--again",
        "--no-reference", "--all",  "--clerk-password-stdin"};
    static const QStringList valued = {"--home",   "--into",  "--kind", "--encoding", "--password",
                                       "--server", "--from",  "--to",   "-o",         "--pos",
                                       "--since",  "--owner", "--clerk"};
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith("--") && args[i] != "-o") {
            *values << args[i];
        } else if (flags.contains(args[i])) {
            *options << args[i] << QString();
        } else if (!valued.contains(args[i])) {
            *unknown = args[i];
            return false;
        } else if (i + 1 < args.size()) {
            *options << args[i] << args[i + 1];
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// The value of option `name`; a null text when it is not given.
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

// The encoding an --encoding value names; UTF-8 when it is not given.
CsvEncoding csvEncoding(const QString& name) {
    if (name.isEmpty() || name.compare("utf-8", Qt::CaseInsensitive) == 0)
        return CsvEncoding::Utf8;
    if (name.compare("windows-1252", Qt::CaseInsensitive) == 0)
        return CsvEncoding::Windows1252;
    throw DbError("--encoding must be utf-8 or windows-1252");
}

// Why the generate screen would refuse to write the manifest's flat file, in the screen's
// order and words; empty when it may be written.
QString generateRefusal(const Database& db, const QString& nodaftar) {
    return vastrel::generateRefusal(HeaderExists(db, nodaftar), CountDetail(db, nodaftar) > 0,
                                    GetStatus(db, nodaftar));
}

// One line of standard input without its line end.
std::string readLine() {
    std::string line;
    if (!std::getline(std::cin, line))
        throw DbError("No password on standard input");
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// Asks on the terminal without echoing what is typed.
std::string promptHidden(const char* prompt) {
    std::fputs(prompt, stderr);
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
    if (!read)
        throw DbError("No password typed");
    return line;
}

enum class Confirm { Once, Twice };

// The password a command needs: one line of standard input with --password-stdin, else
// the value given on the command line (with a warning: other users can read it), else
// typed at the terminal without echo (twice for a new password).
std::string password(const QStringList& options, const QString& given, const char* prompt,
                     Confirm confirm) {
    if (options.contains("--password-stdin"))
        return readLine();
    if (!given.isNull()) {
        print(stderr, "vastrel-admin: warning: a password on the command line is visible to "
                      "other users of this machine; use --password-stdin");
        return given.toStdString();
    }
    if (!isatty(STDIN_FILENO))
        throw DbError("No password given: use --password-stdin");
    const std::string typed = promptHidden(prompt);
    if (confirm == Confirm::Twice && promptHidden("Repeat the password: ") != typed)
        throw DbError("The two passwords differ");
    return typed;
}

// The tables' owner named by --owner, with its password; none without --owner.
std::optional<ServerLogin> ownerLogin(const QStringList& options) {
    const QString role = option(options, "--owner");
    if (role.isNull())
        return std::nullopt;
    return ServerLogin{role,
                       password(options, QString(), "Password of the owner: ", Confirm::Once)};
}

// The installation named by --home (or VASTREL_HOME), connected as the program starts it; on a
// server as the owner that --owner names.
AppState connect(const QStringList& options) {
    QString notes;
    AppState state = connectInstallation(requireHome(options), &notes, ownerLogin(options));
    if (!notes.isEmpty())
        print(stderr, "vastrel-admin: " + notes);
    return state;
}

// A filing's ID as given (see the filings command).
qint64 filingId(const QString& given) {
    bool number = false;
    const qint64 id = given.toLongLong(&number);
    if (!number || id <= 0)
        throw DbError("The filing's ID is a number from 1 (see filings)");
    return id;
}

// Refuses a file imported before into the plan's manifest (any manifest, for a new one),
// unless --again insists: a retry after an unknown outcome must not import it twice.
void refuseRepeatedImport(const FlatFileImportPlan& plan, const QStringList& options) {
    if (plan.importedBefore.isEmpty() || options.contains("--again"))
        return;
    QStringList earlier;
    for (const auto& before : plan.importedBefore)
        earlier << "into manifest " + before.nodaftar + " on " + before.importedAt + " UTC";
    throw FlatFileError(plan.sourceName + " was imported before (" + earlier.join(", ") +
                        "); give --again to import it once more");
}

// Prints a plan's problems (each after `where`) or its warnings on stderr, then imports it
// with `import` (which refuses a plan with problems) and prints what was imported.
// Prints the problems listed, each after `where`, and how many more there are.
void printProblems(FILE* out, const ProblemList& problems, const QString& where) {
    for (const FlatFileProblem& problem : problems)
        print(out, where + problem.toString());
    if (problems.unlisted() > 0)
        print(out, problems.more().english);
}

void reportAndImport(FlatFileImportPlan& plan, const QString& where, const QStringList& options,
                     const std::function<void(FlatFileImportPlan&)>& import) {
    printProblems(stderr, plan.reading.problems, where);
    if (plan.canImport()) {
        refuseRepeatedImport(plan, options);
        const qsizetype shown = std::min(plan.warnings.size(), ProblemList::kListed);
        for (qsizetype i = 0; i < shown; ++i)
            print(stderr, "warning: " + plan.warnings[i]);
        if (plan.warnings.size() > shown)
            print(stderr, QStringLiteral("and %1 more warnings").arg(plan.warnings.size() - shown));
    }
    import(plan);
    print(stdout, "Imported " + plan.summary());
}

// Loads a release or code list into a reference table and prints what changed.
void loadReferenceFiles(const QStringList& values, const QStringList& options) {
    if (values[0] != "load")
        throw DbError("Unknown reference command " + values[0].toStdString());
    if (values.size() < 3)
        throw DbError("reference load needs a table and its FILE");
    AppState state = connect(options);
    const QString kind = values[1];
    const QStringList files = values.mid(2);
    if (kind == "kpbc" || kind == "grup") {
        const ReferenceTable& table = referenceTable(kind);
        Transaction tx(state.Conn);
        int count = 0;
        for (const QString& file : files)
            count += importCsv(state.Conn, table.table, file);
        recordReferenceSource(state.Conn, table, files.join(", "));
        tx.commit();
        print(stdout, QStringLiteral("%1 rows loaded into %2").arg(count).arg(table.table));
        return;
    }
    if (kind != "locode" && files.size() != 1)
        throw DbError(kind.toStdString() + " is loaded from one file");
    const LocodePlaces places = options.contains("--all") ? LocodePlaces::All
                                : state.isAir()           ? LocodePlaces::Airports
                                                          : LocodePlaces::Ports;
    const ReferenceContent content = kind == "locode"
                                         ? readLocodeRelease(files, places)
                                         : readReferenceFile(referenceTable(kind), files[0]);
    const ReferenceLoadResult result =
        loadReference(state.Conn, *content.table, content.entries, content.source);
    print(stdout, content.table->table + ": " + result.summary());
}

void printReferenceStatus(const QStringList&, const QStringList& options) {
    const AppState state = connect(options);
    for (const ReferenceState& table : referenceStatus(state.Conn)) {
        const QString source = table.source.isEmpty()
                                   ? (table.rows == 0 ? QStringLiteral("empty") : "not recorded")
                                   : table.source + " (" + table.loadedAt + " UTC)";
        print(stdout,
              QStringLiteral("%1 %2 rows  %3").arg(table.kind, -10).arg(table.rows, 7).arg(source));
    }
}

// Writes the detail report of one POS or the recap of a manifest as a PDF file.
void writeReport(const QStringList& values, const QStringList& options) {
    const QString target = option(options, "-o");
    if (target.isEmpty())
        throw ReportError("-o FILE.pdf is required");
    const bool detail = values[0] == "detail";
    if (!detail && values[0] != "recap")
        throw ReportError("Unknown report " + values[0] + ": detail or recap");
    if (values.size() != (detail ? 3 : 2))
        throw ReportError(detail ? QStringLiteral("report detail needs NODAFTAR and NOPOS")
                                 : QStringLiteral("report recap needs NODAFTAR alone"));
    const AppState state = connect(options);
    const ManifestReports reports(state.Conn, state.StrJenis, state.StrVersion);
    const ReportContent content =
        detail ? reports.RptManifesDetil(values[1], values[2]) : reports.RptManifesRekap(values[1]);
    layoutReport(content).writePdf(target);
    print(stdout, "Report written to " + target);
}

const std::map<QString, Command>& commands() {
    static const std::map<QString, Command> all = {
        {"init",
         {"init DIR [--password-stdin] [--kind sea|air] [--demo] [--no-reference]\n"
          "init DIR --server URI [--clerk ROLE [--clerk-password-stdin]] [--password-stdin] ...\n"
          "  Creates MANIFEST.INI and the encrypted database in DIR, readable by their owner\n"
          "  only. The database password is read from standard input with --password-stdin,\n"
          "  else asked twice at the terminal (--password PASSWORD still works but is visible\n"
          "  to other users). --kind sets JENIS in MANIFEST.INI and the demo profile; without\n"
          "  --demo the company profile screen asks for the profile and the manifest kind on\n"
          "  the first run. The shipped code lists (package kinds and HS codes) are loaded\n"
          "  unless --no-reference.\n"
          "  With --server postgresql://OWNER@HOST/DATABASE the tables are made in that empty\n"
          "  database of a PostgreSQL server instead, by the role OWNER, whose password is\n"
          "  the one asked; keep it for upgrade, migrate and user add. The workstations log\n"
          "  in as a clerk role (--clerk, by default OWNER_clerk), which may change the\n"
          "  manifests and code lists but only add to the history and the filings, only read\n"
          "  the users, and not change the tables: MANIFEST.INI names the clerk and holds its\n"
          "  password. A clerk that does not exist is made with a new random password (OWNER\n"
          "  needs CREATEROLE); one the server's administrator made beforehand is given with\n"
          "  its password on the next line of standard input (--clerk-password-stdin).",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString kind = option(options, "--kind");
              if (!kind.isEmpty() && kind != "sea" && kind != "air")
                  throw DbError("--kind must be sea or air");
              const QString server = option(options, "--server");
              if (!server.isNull() && !isServerAddress(server))
                  throw DbError("--server takes a postgresql:// URI");
              const bool clerkPassword = options.contains("--clerk-password-stdin");
              if (server.isNull() && (clerkPassword || !option(options, "--clerk").isNull()))
                  throw DbError("--clerk is for an installation on a server (--server)");
              const std::string secret = password(options, option(options, "--password"),
                                                  "Database password: ", Confirm::Twice);
              InitOptions init{values[0], secret, kind == "air", options.contains("--demo")};
              init.server = server;
              init.clerk = {option(options, "--clerk"), clerkPassword ? readLine() : ""};
              if (!options.contains("--no-reference"))
                  init.reference = readShippedPacks();
              for (const QString& warning : initInstallation(init))
                  print(stderr, "vastrel-admin: warning: " + warning);
              print(stdout, "Installation created in " + values[0]);
          }}},
        {"user",
         {"user add --home DIR [--owner ROLE] NAME [--password-stdin]\n"
          "  Adds a user who may log in. The user's password is read from standard input\n"
          "  with --password-stdin, else asked twice at the terminal (a PASSWORD after NAME\n"
          "  still works but is visible to other users). On a server the tables' owner adds\n"
          "  users: --owner ROLE logs in as it, with its password asked first (the first line\n"
          "  of standard input with --password-stdin, the user's the second).",
          2,
          [](const QStringList& values, const QStringList& options) {
              if (values[0] != "add")
                  throw DbError("Unknown user command " + values[0].toStdString());
              Database db = connect(options).Conn;
              addUser(
                  db, values[1],
                  QString::fromStdString(password(options, values.value(2, QString()),
                                                  "Password of the new user: ", Confirm::Twice)));
              print(stdout, "User " + values[1].toUpper() + " added");
          },
          1}},
        {"import",
         {"import --home DIR [--encoding utf-8|windows-1252] TABLE FILE.csv\n"
          "  Loads a CSV file (first row: column names) into a table; all rows or none.\n"
          "  The file is read as UTF-8 unless --encoding says windows-1252.",
          2,
          [](const QStringList& values, const QStringList& options) {
              const CsvEncoding encoding = csvEncoding(option(options, "--encoding"));
              Database db = connect(options).Conn;
              const int count = importCsv(db, values[0], values[1], encoding);
              print(stdout, QStringLiteral("%1 rows loaded into %2").arg(count).arg(values[0]));
          }}},
        {"reference",
         {"reference load --home DIR [--all] locode FILE...\n"
          "reference load --home DIR kemasan|hs|kpbc|grup FILE\n"
          "reference status --home DIR\n"
          "  load: brings a reference table up to a release. locode reads UN/LOCODE's CSV\n"
          "  release (its CodeListPart files): a sea installation takes the ports, an air\n"
          "  installation the airports, --all every place. kemasan and hs read a shipped\n"
          "  pack or a code,name CSV file. New codes are added, names updated, withdrawn\n"
          "  codes removed unless a manifest uses them; all or nothing, a bad row refused\n"
          "  as FILE:LINE: message. kpbc and grup load a CSV file as import does.\n"
          "  status: each reference table's row count and where its rows came from.",
          1,
          [](const QStringList& values, const QStringList& options) {
              if (values[0] == "status" && values.size() == 1)
                  printReferenceStatus(values, options);
              else
                  loadReferenceFiles(values, options);
          },
          1000}},
        {"flatfile",
         {"flatfile --home DIR NODAFTAR -o FILE\n"
          "  Writes the flat file of a ready manifest to FILE, as the generate screen does.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString target = option(options, "-o");
              if (target.isEmpty())
                  throw FlatFileError("-o FILE is required");
              AppState state = connect(options);
              const QString refusal = generateRefusal(state.Conn, values[0]);
              if (!refusal.isEmpty())
                  throw FlatFileError(refusal);
              const qint64 filing = fileFlatFile(state.Conn, values[0], state.StrJenis, target);
              print(stdout,
                    QStringLiteral("Flat file written to %1 (filing %2)").arg(target).arg(filing));
          }}},
        {"report",
         {"report detail --home DIR NODAFTAR NOPOS -o FILE.pdf\n"
          "report recap --home DIR NODAFTAR -o FILE.pdf\n"
          "  Writes the detail report of one POS, or the header recap of a whole manifest,\n"
          "  as a PDF file, as the generate screen prints them.",
          2, writeReport, 1}},
        {"password",
         {"password --home DIR [--password-stdin]\n"
          "  Re-enciphers the database under a new password and updates MANIFEST.INI; a\n"
          "  crash at any moment leaves an installation that opens, and the next start\n"
          "  finishes or undoes the change. The new password is read from standard input\n"
          "  with --password-stdin, else asked twice at the terminal (a NEW_PASSWORD value\n"
          "  still works but is visible to other users).",
          0,
          [](const QStringList& values, const QStringList& options) {
              const std::string secret = password(options, values.value(0, QString()),
                                                  "New database password: ", Confirm::Twice);
              AppState state = connect(options);
              changePassword(state, secret);
              print(stdout, "Password changed");
          },
          1}},
        {"server-password",
         {"server-password --home DIR [--password-stdin]\n"
          "  Stores in MANIFEST.INI the password the server's administrator gave the\n"
          "  installation's clerk role (ALTER ROLE), once the server accepts it; until then the\n"
          "  old MANIFEST.INI stays. Read from standard input with --password-stdin, else\n"
          "  asked twice at the terminal. Run it on every workstation of the office.",
          0,
          [](const QStringList&, const QStringList& options) {
              const std::string secret =
                  password(options, QString(), "New server password: ", Confirm::Twice);
              storeServerPassword(requireHome(options), secret);
              print(stdout, "Server password stored");
          }}},
        {"clerk",
         {"clerk --home DIR [--clerk ROLE [--clerk-password-stdin]]\n"
          "  For a server installation made before its workstations logged in as a clerk,\n"
          "  whose MANIFEST.INI still holds the tables' owner: makes (or takes) the clerk as\n"
          "  init does, and stores its login in MANIFEST.INI once it logs in. Copy that\n"
          "  MANIFEST.INI to every workstation, then have the owner's password changed (ALTER\n"
          "  ROLE): every earlier MANIFEST.INI holds it.",
          0,
          [](const QStringList&, const QStringList& options) {
              ClerkRole clerk{option(options, "--clerk"),
                              options.contains("--clerk-password-stdin") ? readLine() : ""};
              const QString owner = handOverToClerk(requireHome(options), clerk);
              print(stdout, "MANIFEST.INI now names the clerk " + clerk.name +
                                ". Copy it to every workstation, then change the password of " +
                                owner + ": every earlier MANIFEST.INI holds it.");
          }}},
        {"backup",
         {"backup --home DIR FILE\n"
          "  Copies the database, while it may be in use, into FILE under the same password,\n"
          "  readable by its owner only; the copy is checked before it is kept.",
          1,
          [](const QStringList& values, const QStringList& options) {
              backupInstallation(requireHome(options), values[0]);
              print(stdout, "Backup written to " + values[0]);
          }}},
        {"restore",
         {"restore --home DIR FILE\n"
          "  Replaces the database by the backup FILE, which must open with the\n"
          "  installation's password and pass the integrity check. The replaced database is\n"
          "  kept beside it. Close the application on this installation first.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString kept = restoreInstallation(requireHome(options), values[0]);
              print(stdout, "Database restored from " + values[0]);
              if (!kept.isEmpty())
                  print(stdout, "The replaced database is kept as " + kept);
          }}},
        {"check",
         {"check FILE\n"
          "  Reads and checks a flat file: prints its problems as FILE:LINE:COLUMN: message\n"
          "  (the first 100, then how many more) and exits 1 when there is one, else prints\n"
          "  what the file holds. Needs no installation.",
          1,
          [](const QStringList& values, const QStringList&) {
              const FlatFileReading reading = readFlatFileAt(values[0]);
              // A file the import would refuse for a blank the screens need fails here too.
              ProblemList problems = reading.problems;
              for (const FlatFileProblem& blank :
                   blankRequired(reading.manifest, reading.manifest.header.kdgrup))
                  problems.append(blank);
              problems.sortByPlace();
              printProblems(stdout, problems, values[0] + ':');
              if (!problems.isEmpty())
                  throw FlatFileError(QStringLiteral("%1: %2 problem(s) found")
                                          .arg(values[0])
                                          .arg(problems.count()));
              print(stdout, values[0] + ": " + reading.manifest.summary());
          }}},
        {"import-flatfile",
         {"import-flatfile --home DIR FILE [--into NODAFTAR] [--again]\n"
          "  Imports a flat file that passes the check: as a new manifest registered today,\n"
          "  or with --into as POS appended after that manifest's highest POS (its header\n"
          "  stays). All or nothing; codes missing from the reference lists are imported\n"
          "  with a warning. A file imported before (into that manifest, or at all for a new\n"
          "  one) is refused unless --again insists.",
          1,
          [](const QStringList& values, const QStringList& options) {
              AppState state = connect(options);
              FlatFileImportPlan plan = planFlatFileImportAt(state.Conn, state.isAir(), values[0],
                                                             option(options, "--into"));
              reportAndImport(plan, values[0] + ':', options,
                              [&](FlatFileImportPlan& p) { importFlatFile(state.Conn, p); });
          }}},
        {"import-sheet",
         {"import-sheet --home DIR [--into NODAFTAR] [--again] FILE\n"
          "  Imports an import workbook (see template; an .xlsx file or a folder of CSV files\n"
          "  named after the sheets) whose every row passes the entry screens' checks: as a\n"
          "  new manifest registered today, or with --into as POS appended after that\n"
          "  manifest's highest POS (its header stays; the Header sheet may be empty). All or\n"
          "  nothing; problems are printed as \"Sheet row N: message\". A workbook imported\n"
          "  before is refused unless --again insists, as for import-flatfile.",
          1,
          [](const QStringList& values, const QStringList& options) {
              AppState state = connect(options);
              FlatFileImportPlan plan =
                  planSheetImport(state.Conn, state.isAir(), values[0], option(options, "--into"));
              reportAndImport(plan, QString(), options,
                              [&](FlatFileImportPlan& p) { importSheet(state.Conn, p); });
          }}},
        {"template",
         {"template --kind sea|air -o FILE.xlsx\n"
          "  Writes the empty import workbook for a kind of manifest: the sheets Header, POS,\n"
          "  Barang, Kontainer (sea only) and Dokumen, each with a heading row of column\n"
          "  names. Needs no installation.",
          0,
          [](const QStringList&, const QStringList& options) {
              const QString kind = option(options, "--kind");
              if (kind != "sea" && kind != "air")
                  throw DbError("--kind sea|air is required");
              const QString target = option(options, "-o");
              if (target.isEmpty())
                  throw DbError("-o FILE.xlsx is required");
              writeSheetTemplate(target, kind == "air" ? ManifestKind::Air : ManifestKind::Sea);
              print(stdout, "Template written to " + target);
          }}},
        {"migrate",
         {"migrate --from DIR --to DIR [--owner ROLE [--password-stdin]]\n"
          "  Copies every table of one installation into another, from an encrypted file to\n"
          "  a server or back (make the target with init first), in one transaction, and\n"
          "  checks every table's row count before it commits. A target that holds\n"
          "  manifests is refused. A target on a server is written by its tables' owner:\n"
          "  --owner ROLE, whose password is asked (or read from standard input).",
          0,
          [](const QStringList&, const QStringList& options) {
              const QString from = option(options, "--from");
              const QString to = option(options, "--to");
              if (from.isEmpty() || to.isEmpty())
                  throw DbError("--from DIR and --to DIR are both required");
              for (const TableCopy& copy : migrateInstallation(from, to, ownerLogin(options)))
                  print(stdout, QStringLiteral("%1: %2 rows").arg(copy.table).arg(copy.rows));
              print(stdout, "Copied " + from + " into " + to);
          }}},
        {"history",
         {"history --home DIR NODAFTAR [--pos NNNN]\n"
          "  Prints who changed what of a manifest (or of one POS), newest first: the time\n"
          "  (UTC), the user and workstation, the row and the values before and after.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const AppState state = connect(options);
              for (const HistoryEntry& entry :
                   readHistory(state.Conn, values[0], option(options, "--pos")))
                  print(stdout, describe(entry));
          }}},
        {"filings",
         {"filings --home DIR NODAFTAR\n"
          "  Lists the flat files written for a manifest, newest first: the filing's id, the\n"
          "  time (UTC), the user and workstation, the file name, its size and SHA-256.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const AppState state = connect(options);
              for (const Filing& f : listFilings(state.Conn, values[0]))
                  print(stdout, QStringLiteral("%1  %2 UTC  %3@%4  %5  %6 bytes  %7")
                                    .arg(f.id)
                                    .arg(f.filedAt, f.user, f.host, f.fileName)
                                    .arg(f.size)
                                    .arg(f.sha256));
          }}},
        {"filing",
         {"filing --home DIR ID -o FILE\n"
          "  Writes the flat file of a filing again, byte for byte, after checking its bytes\n"
          "  against their SHA-256.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString target = option(options, "-o");
              if (target.isEmpty())
                  throw DbError("-o FILE is required");
              saveFiling(connect(options).Conn, filingId(values[0]), target);
              print(stdout, "Filing " + values[0] + " written to " + target);
          }}},
        {"diff",
         {"diff --home DIR NODAFTAR [--since ID]\n"
          "  Lists the POS added, removed and changed, field by field, since the manifest's\n"
          "  last filing (or the filing ID): what goes into an amendment.",
          1,
          [](const QStringList& values, const QStringList& options) {
              const QString since = option(options, "--since");
              const qint64 filing = since.isNull() ? 0 : filingId(since);
              const AppState state = connect(options);
              const QList<PosChange> changes =
                  changesSinceFiling(state.Conn, values[0], state.StrJenis, filing);
              for (const PosChange& change : changes)
                  print(stdout, describe(change));
              if (changes.isEmpty())
                  print(stdout, "Nothing changed since the filing");
          }}},
        {"upgrade",
         {"upgrade --home DIR [--owner ROLE [--password-stdin]]\n"
          "  Brings the installation's tables to this version of the program, as its first\n"
          "  start would: in one transaction, after a backup of the database file beside it\n"
          "  has been written and checked. Tables of a newer version are refused. On a\n"
          "  server the tables' owner upgrades them (the workstations' clerk may not): --owner\n"
          "  ROLE, whose password is asked (or read from standard input); the clerk gets its\n"
          "  rights on the new tables.",
          0,
          [](const QStringList&, const QStringList& options) {
              const AppState state = connect(options);
              if (state.schemaUpgrade.from == 0)
                  print(stdout, QStringLiteral("The tables are at version %1 already")
                                    .arg(schema::version(state.Conn)));
          }}},
        {"tighten",
         {"tighten --home DIR\n"
          "  Makes MANIFEST.INI and the database readable by their owner only (mode 0600).",
          0,
          [](const QStringList&, const QStringList& options) {
              const QStringList changed = tightenPermissions(requireHome(options));
              print(stdout, changed.isEmpty() ? QStringLiteral("Nothing to change")
                                              : "Owner only: " + changed.join(", "));
          }}},
    };
    return all;
}

void printUsage(FILE* out) {
    print(out, "Usage: vastrel-admin COMMAND [ARGS]   (COMMAND --help for details)\n");
    // Each command's forms: the lines of its usage before the indented explanation.
    for (const auto& [name, command] : commands()) {
        for (const QString& line : QString::fromLatin1(command.usage).split('\n')) {
            if (line.startsWith(' '))
                break;
            print(out, "  " + line);
        }
    }
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
    forbidCoreDumps();
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
    QString unknown;
    const bool parsed = splitArguments(args, &values, &options, &unknown);
    if (!unknown.isEmpty())
        print(stderr, "vastrel-admin: unknown option " + unknown);
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
