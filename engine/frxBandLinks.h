// Linking the bands of a report page before a run: data bands with their
// headers, footers and groups, and masters with their detail bands.
#pragma once

#include <string>
#include <vector>

namespace zentavo {

class TfrxDataBand;
class TfrxReportPage;

// Links the page's bands of one orientation, setting their Details,
// LinkedHeader, LinkedFooter and LinkedGroup, and returns the page's
// top-level data bands. Bands that cannot be linked are reported in
// `errors`, one line each ("Unconnected header/footer Header1").
std::vector<TfrxDataBand*> LinkBands(TfrxReportPage& page, bool vertical, std::vector<std::string>& errors);

// The records a data band walks: its data set, or RowCount empty records.
class TfrxDataSet;
TfrxDataSet* BandDataSet(TfrxDataBand& band);

}  // namespace zentavo
