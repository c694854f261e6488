#include "FrmAbout.h"

#include "Installation.h"
#include "ProgramVersion.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vastrel {

QString FrmAbout::readNotes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "About.INI tidak dapat dibaca (" + QDir::toNativeSeparators(path) + ")";
    QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line starts no new line
    QString notes;
    for (const QByteArray& line : lines)
        notes += QString::fromLatin1(line.endsWith('\r') ? line.chopped(1) : line) + "\r\n";
    return notes;
}

FrmAbout::FrmAbout(const QString& programFolder, QWidget* parent) : QDialog(parent) {
    setObjectName("FrmAbout");
    setWindowTitle("About");
    auto* program = new QLabel(QStringLiteral("Vastrel %1").arg(kProgramVersion), this);
    program->setObjectName("LblProgram");
    program->setStyleSheet("font: bold 14pt 'Arial'; color: #1f4e79;");
    auto* heading = new QLabel("Version History", this);
    heading->setObjectName("Label1");
    heading->setStyleSheet("font: bold 12pt 'Arial';");
    auto* notes = new QPlainTextEdit(this);
    notes->setObjectName("TxtNotes");
    notes->setReadOnly(true);
    notes->setPlainText(readNotes(QDir(programFolder).filePath(kAboutFileName)));
    auto* close = new QPushButton("&Close", this);
    close->setObjectName("CmdClose");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(program);
    layout->addWidget(heading);
    layout->addWidget(notes);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(480, 360);
}

} // namespace vastrel
