// A page store over a fake landscape A4 printer at 96 dpi (printable 1090 x 762,
// offsets 16 x 16, sheet 1123 x 794), and pages to put in it.
#pragma once

#include "desktop/error_box.h"
#include "desktop/file_dialogs.h"
#include "support/printer_fake.h"
#include "report/qr_printer.h"

#include <QColor>

// Each page's own colour, so that printed, saved or shown pages can be told apart.
inline QColor pageColour(int page)
{
    return QColor(QColor::fromHsv((page * 50) % 360, 255, 200).rgb());
}

// Records `count` pages, each filled over its printable area in its own colour
// and numbered in a line of text.
inline void composePages(TQRPrinter& store, int count)
{
    store.BeginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            store.NewPage();
        store.canvas().setBrushColor(pageColour(page));
        store.canvas().fillRect({0, 0, store.printableWidth(), store.printableHeight()});
        store.canvas().textOut(20, 120, {20, 120, 400, 160}, 0, QStringLiteral("Page %1").arg(page));
    }
    store.EndDoc();
}

// Without progress windows, unless a test asks for them.
struct Store {
    platform::FakePrinter fake;
    TQRPrinter store{fake, 96};
    Store() { store.setShowProgress(false); }
};

