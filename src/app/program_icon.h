// The program's coin icon for its windows: the same images the desktop shows
// in its menu (data/icons), one drawn for each size, so the window manager
// picks a sharp one for the title bar, the task bar and the window switcher.
#pragma once

#include <QIcon>

namespace app {

QIcon programIcon();

} // namespace app
