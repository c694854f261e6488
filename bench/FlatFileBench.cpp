// bench_flatfile [POS_COUNT]: builds an outward manifest of POS_COUNT POS (default 9998), each
// with 3 goods lines, 2 containers and 1 customs document, in a temporary database. Then, each
// as a process of its own so that its peak memory is its own: the sqlcipher shell printing the
// same rows, this program writing the flat file, and writing it as the screens do, with its
// filing in the database. Prints the times, their ratios to the shell's and the writer's peak
// memory (each the best of three runs), what the three filings added to the database against
// the flat file's compressed size, then the import of the written file into an installation of
// its own, and times one readiness update.

#include "Database.h"
#include "FlatFile.h"
#include "FlatFileImport.h"
#include "Readiness.h"
#include "SyntheticManifest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vastrel;

namespace {

const char* kPassword = "bench";

struct Run {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs a program with standard input from `input` and its output discarded; its time and
// peak memory, as a process of its own.
Run runProgram(std::vector<std::string> arguments, const QString& input) {
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(QFile::encodeName(input).constData(), O_RDONLY);
        const int out = open("/dev/null", O_WRONLY);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("a measured run failed: " + arguments[0]);
    return {timer.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

// The fastest of three runs, as the machine may be busy with other work.
Run bestOf3(const std::vector<std::string>& arguments, const QString& input) {
    Run best = runProgram(arguments, input);
    for (int i = 0; i < 2; ++i) {
        const Run run = runProgram(arguments, input);
        if (run.seconds < best.seconds)
            best = run;
    }
    return best;
}

// The statements that read the rows the flat file is made of, for the sqlcipher shell.
QByteArray shellScript() {
    const QByteArray key = "'" + kBenchKey.toLatin1() + "'";
    QByteArray script = QByteArray("PRAGMA key='") + kPassword + "';\n";
    script += "SELECT * FROM tblheader WHERE nodaftar = " + key + ";\n";
    script += "SELECT * FROM tbldetail WHERE nodaftar = " + key + " ORDER BY nopos;\n";
    for (const char* table : {"tblhs", "tblpeb", "tblcontainer"})
        script += QByteArray("SELECT * FROM ") + table + " WHERE nodaftar = " + key +
                  " ORDER BY nopos, noseq;\n";
    return script;
}

void writeFlatFile(const QString& dbPath, const QString& target) {
    const Database db = Database::open(dbPath, kPassword);
    FlatFile(db, kBenchKey, "0").CreateFlatFile(target);
}

void fileFlatFile(const QString& dbPath, const QString& target) {
    Database db = Database::open(dbPath, kPassword);
    vastrel::fileFlatFile(db, kBenchKey, "0", target);
}

// Reads, checks and imports the flat file as a new manifest, as import-flatfile does.
void importFlatFile(const QString& source, const QString& dbPath) {
    Database db = Database::open(dbPath, kPassword);
    FlatFileImportPlan plan = planFlatFileImport(db, false, readFlatFileAt(source));
    if (!plan.canImport()) {
        QStringList why = plan.refusals;
        for (const FlatFileProblem& problem : plan.reading.problems)
            why << QStringLiteral("line %1: %2").arg(problem.line).arg(problem.message);
        throw std::runtime_error("the written file is refused: " + why.join("; ").toStdString());
    }
    vastrel::importFlatFile(db, plan);
}

// The best of three imports, each into an installation of its own that holds no POS yet.
Run timeImports(const char* self, const QString& flatPath, const QTemporaryDir& dir) {
    Run best{1e9, 0};
    for (int i = 0; i < 3; ++i) {
        const QString target = dir.filePath(QStringLiteral("import%1.db").arg(i));
        {
            Database fresh = Database::create(target, kPassword);
            createSyntheticManifest(fresh, 0);
        }
        const Run run = runProgram({self, "--import", flatPath.toStdString(), target.toStdString()},
                                   "/dev/null");
        if (run.seconds < best.seconds)
            best = run;
    }
    return best;
}

} // namespace

int main(int argc, char* argv[]) {
    // The measured processes: --write DB FILE, --file DB FILE and --import FILE DB.
    if (argc == 4 && argv[1][0] == '-') {
        try {
            if (std::strcmp(argv[1], "--write") == 0)
                writeFlatFile(argv[2], argv[3]);
            else if (std::strcmp(argv[1], "--file") == 0)
                fileFlatFile(argv[2], argv[3]);
            else
                importFlatFile(argv[2], argv[3]);
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_flatfile: %s\n", e.what());
            return 1;
        }
    }
    const int posCount = argc > 1 ? std::atoi(argv[1]) : 9998;
    QTemporaryDir dir;
    const QString dbPath = dir.filePath("bench.db");
    const QString flatPath = dir.filePath("bench.txt");
    const QString scriptPath = dir.filePath("dump.sql");
    try {
        {
            Database db = Database::create(dbPath, kPassword);
            createSyntheticManifest(db, posCount);
        }
        QFile script(scriptPath);
        if (!script.open(QIODevice::WriteOnly) || script.write(shellScript()) < 0)
            throw std::runtime_error("cannot write the shell's script");
        script.close();
        const Run shell = bestOf3({"sqlcipher", dbPath.toStdString()}, scriptPath);
        const Run writer = bestOf3(
            {argv[0], "--write", dbPath.toStdString(), flatPath.toStdString()}, "/dev/null");
        const qint64 sizeBefore = QFileInfo(dbPath).size();
        const Run filer =
            bestOf3({argv[0], "--file", dbPath.toStdString(), flatPath.toStdString()}, "/dev/null");
        const qint64 growth = (QFileInfo(dbPath).size() - sizeBefore) / 3;
        const Run importer = timeImports(argv[0], flatPath, dir);

        Database db = Database::open(dbPath, kPassword);
        QElapsedTimer timer;
        timer.start();
        UpdateStatus(db, kBenchKey);
        const double statusSeconds = timer.nsecsElapsed() / 1e9;

        QFile file(flatPath);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("The flat file cannot be read back");
        const QByteArray flat = file.readAll();
        const long long lines = flat.count("\r\n");
        std::printf("POS: %d\n", posCount);
        std::printf("sqlcipher shell, the same rows: %.3f s\n", shell.seconds);
        std::printf("Flat file: %lld lines, %lld bytes in %.3f s (%.2fx the shell), peak %ld KiB\n",
                    lines, static_cast<long long>(file.size()), writer.seconds,
                    writer.seconds / shell.seconds, writer.peakKiB);
        std::printf("With its filing: %.3f s (%.2fx the shell, %.2fx the writer), peak %ld KiB\n",
                    filer.seconds, filer.seconds / shell.seconds, filer.seconds / writer.seconds,
                    filer.peakKiB);
        std::printf("Database growth per filing: %lld bytes; the file compressed: %lld bytes\n",
                    static_cast<long long>(growth), static_cast<long long>(qCompress(flat).size()));
        std::printf("Import of that file: %.3f s (%.2fx the writer), peak %ld KiB\n",
                    importer.seconds, importer.seconds / writer.seconds, importer.peakKiB);
        std::printf("UpdateStatus: %.3f s (status %s)\n", statusSeconds,
                    qPrintable(GetStatus(db, kBenchKey)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_flatfile: %s\n", e.what());
        return 1;
    }
    return 0;
}
