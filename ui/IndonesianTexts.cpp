#include "IndonesianTexts.h"

#include <QCoreApplication>
#include <QTranslator>

namespace vastrel {

void installIndonesianTexts(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral(":/i18n/vastrel_id.qm")))
        QCoreApplication::installTranslator(translator);
}

} // namespace vastrel
