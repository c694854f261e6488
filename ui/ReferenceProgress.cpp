#include "ReferenceProgress.h"

#include <QCoreApplication>

namespace vastrel {

ReferenceProgress::ReferenceProgress(QWidget* parent, const QString& label)
    : m_dialog(label, QString(), 0, 0, parent) {
    m_dialog.setObjectName("DlgReferenceProgress");
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(0);
}

LoadProgress ReferenceProgress::callback() {
    return [this](qsizetype done, qsizetype total) {
        m_dialog.setMaximum(static_cast<int>(total));
        m_dialog.setValue(static_cast<int>(done));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

QString summaryInIndonesian(const ReferenceLoadResult& result) {
    QString text = QStringLiteral("%1 ditambah, %2 diganti namanya, %3 tetap, %4 dihapus")
                       .arg(result.added)
                       .arg(result.renamed)
                       .arg(result.unchanged)
                       .arg(result.withdrawn);
    if (!result.keptInUse.isEmpty())
        text += "\nDitarik tetapi tetap disimpan karena dipakai manifes: " +
                result.keptInUse.join(", ");
    return text;
}

} // namespace vastrel
