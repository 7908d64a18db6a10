// Prints where the main window's controls sit, from the window's design table:
// one line "NAME LEFT TOP WIDTH HEIGHT" per control, in client coordinates of
// the window's unscrolled content. The end-to-end tests click by these, so a
// control moved in the design moves the tests' clicks with it.
#include "app/main_window_design.h"

#include <cstdio>
#include <cstring>

int main()
{
    const app::FormDesign& design = app::mainWindowDesign();
    for (const app::ControlDesign& c : design.controls) {
        int left = c.left;
        int top = c.top;
        for (const char* parent = c.parent; parent;) {
            const app::ControlDesign* p = nullptr;
            for (const app::ControlDesign& d : design.controls)
                if (std::strcmp(d.name, parent) == 0)
                    p = &d;
            if (!p)
                return 1;
            left += p->left;
            top += p->top;
            parent = p->parent;
        }
        std::printf("%s %d %d %d %d\n", c.name, left, top, c.width, c.height);
    }
    return 0;
}
