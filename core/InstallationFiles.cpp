#include "InstallationFiles.h"

#include "Database.h"
#include "ManifestIni.h"
#include "PasswordChange.h"
#include "StartUp.h"
#include "UserError.h"

#include <QDir>
#include <QFileInfo>

namespace vastrel {

namespace {

// The files that make the installation in `folder`, when it is one.
QStringList installationFiles(const QDir& folder) {
    QStringList files = {folder.filePath(kIniFileName), folder.filePath(kPendingIniFileName)};
    const auto values = readDatabaseValues(folder.filePath(kIniFileName));
    if (values && !isServerAddress(values->dbName)) {
        const QString db = folder.filePath(values->dbName);
        files << db << db + "-journal";
    }
    return files;
}

// The path as the system resolves it, for a file that may not exist yet.
QString resolved(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir(folder.isEmpty() ? info.absolutePath() : folder).filePath(info.fileName());
}

} // namespace

void refuseInstallationFile(const QString& target) {
    const QString wanted = resolved(target);
    for (const QString& file : installationFiles(QFileInfo(wanted).dir())) {
        if (resolved(file) == wanted ||
            (QFileInfo::exists(file) &&
             QFileInfo(file).canonicalFilePath() == QFileInfo(target).canonicalFilePath()))
            throw UserError(target + " is a file of the installation (" +
                                QFileInfo(file).fileName() + "): choose another name",
                            target + " adalah file instalasi (" + QFileInfo(file).fileName() +
                                "): pilih nama lain");
    }
}

} // namespace vastrel
