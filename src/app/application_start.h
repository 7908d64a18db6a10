// Start-up: prepares the GUI framework and the report engine, creates the main
// window and the two page forms, and runs the message loop until the main window closes.
#pragma once

namespace app {

int runStellaro(int argc, char** argv);

} // namespace app
