// The design of the main window: every control with its place, texts, fonts,
// tab settings, and the handler each event runs.
#pragma once

#include "app/form_design.h"

namespace app {

const FormDesign& mainWindowDesign();

} // namespace app
