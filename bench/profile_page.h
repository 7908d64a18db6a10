// The male profile page of one fixed profile, composed into `store` as the
// program composes it (the store is left ready, holding the page).
#pragma once

#include "pages/page_forms.h"
#include "report/page_report.h"
#include "report/qr_printer.h"

#include <QStringList>

inline void composeProfilePage(TQRPrinter& store)
{
    TFFormM form(&store);
    form.PageReport1->setPageStore(&store);
    form.useProfileLines({"Aries", "Brave, bold and quick to lead", "Impatient, rash", "Loyal and warm",
                          "Passionate", "Strong, rarely ill", "Lucky in May", "Diamond", "Red", "April 5th",
                          "John Smith", "Have a wonderful day", "3 12 19 27 33 41"});
    form.PageReport1->Prepare();
}
