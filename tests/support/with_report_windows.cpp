// Linked into the test programs that drive the report engine's real windows:
// installs them before any test runs, as the program does at start-up.
#include "report_windows/install.h"

namespace {
const bool installed = (report::installReportWindows(), true);
} // namespace
