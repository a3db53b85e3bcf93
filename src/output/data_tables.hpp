// The maps and tables of a run in the DataFile.
#pragma once

namespace vl {

// Tables 1 to 11 on the DataFile, then closes the ReportFile.
void writeDataTables();

}  // namespace vl
