#pragma once

#include "BandedReport.h"

namespace vastrel {

struct ReportContent;

// The printed form of a manifest report (RptManifesDetil or RptManifesRekap): its page
// geometry, filled with the content's captions, hidden labels, column widths and records.
BandedReport layoutReport(const ReportContent& content);

} // namespace vastrel
