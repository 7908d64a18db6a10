// What every fuzz target that plays pages needs from Qt: no warnings on the
// fuzzer's output (a font that lacks a script is reported per glyph run), and
// now and then a turn of the event loop, where Qt's font cache drops the font
// engines and glyph images it no longer needs. Without that turn the cache only
// grows, as it never would in the program, whose event loop always runs.
#pragma once

#include <QCoreApplication>
#include <QtGlobal>

namespace fuzzing {

inline void quietQt()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

inline void letQtTidyUp()
{
    static unsigned runs = 0;
    if (++runs % 256 == 0)
        QCoreApplication::processEvents();
}

} // namespace fuzzing
