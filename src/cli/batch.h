// Composing profiles without a window: "stellaro compose" and "stellaro batch".
// The pages are the window's own (same page designs, same report run, same
// page store), written to a PDF file or a report file, or printed as one job.
// Messages go to standard error; nothing is written unless every profile could
// be composed, and files are replaced only when complete.
#pragma once

#include "cli/command_line.h"

namespace cli {

// Runs a ComposeCommand or a BatchCommand; returns the exit status. Needs no
// display: it runs on Qt's offscreen platform, so it works over ssh and in
// services. Ctrl+C while composing stops with nothing written.
int runWithoutWindow(int argc, char** argv, const Command& command);

} // namespace cli
