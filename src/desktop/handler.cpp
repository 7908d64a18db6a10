#include "desktop/handler.h"

#include "desktop/application.h"
#include "desktop/error_box.h"

#include <QString>
#include <cstdio>
#include <stdexcept>

namespace desktop {

void reportCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            showErrorBox(QString::fromUtf8(e.what()));
        } catch (...) {
            showErrorBox(QStringLiteral("Unknown error"));
        }
    } catch (...) {
        // Showing the box itself failed; there is nothing safer left to do.
        std::fprintf(stderr, "%s: an error could not be shown\n", kApplicationTitle);
    }
}

} // namespace desktop
