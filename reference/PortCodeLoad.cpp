#include "PortCodeLoad.h"

#include "LocodeRelease.h"
#include "Messages.h"
#include "ReferenceProgress.h"

namespace vastrel {

void LoadPortCodes(AppState& state, QWidget* parent) {
    const QStringList files = Messages::openFileNames(parent, "Muat Kode Pelabuhan (UN/LOCODE)",
                                                      "UN/LOCODE CSV (*.csv);;Semua file (*)");
    if (files.isEmpty())
        return;
    try {
        ReferenceProgress progress(parent, "Memuat kode pelabuhan...");
        const ReferenceContent content =
            readLocodeRelease(files, state.isAir() ? LocodePlaces::Airports : LocodePlaces::Ports);
        const ReferenceLoadResult result = loadReference(
            state.Conn, *content.table, content.entries, content.source, progress.callback());
        Messages::show(parent, "Kode pelabuhan dimuat: " + summaryInIndonesian(result),
                       Messages::kInformation, Messages::Icon::Information);
    } catch (const std::exception& e) {
        Messages::showError(parent, e);
    }
}

} // namespace vastrel
