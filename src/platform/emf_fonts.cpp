#include "platform/emf_fonts.h"

#include "platform/canvas_text.h"
#include "platform/emf_format.h"
#include "platform/emf_player.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <QRawFont>
#include <QSet>

namespace platform {

namespace emf {

// Character height over cell height of a face, for LOGFONTs given by cell
// height. Pages play on the preview's drawing thread too, hence the lock.
double emPerCell(const QString& face)
{
    static QMutex lock;
    static QHash<QString, double> cache;
    {
        QMutexLocker locked(&lock);
        auto it = cache.find(face);
        if (it != cache.end())
            return *it;
    }
    CanvasFont f;
    f.face = face;
    f.height = 200;
    const QFontMetricsF m(toQFont(f));
    double ratio = m.height() > 0 ? 200.0 / m.height() : 0.9;
    if (!(ratio > 0.3 && ratio <= 1.0))
        ratio = 0.9;
    QMutexLocker locked(&lock);
    if (cache.size() > 256)
        cache.clear();
    cache.insert(face, ratio);
    return ratio;
}

// Characters for the glyph indices of a face: its own character map read
// backwards over the characters pages use. Windows' core fonts and their
// metric-compatible stand-ins share the first glyphs' order, so a glyph the
// map lacks falls back to that order (glyph 3 is the space).
QString textForGlyphs(const CanvasFont& font, const std::uint8_t* glyphs, std::uint64_t n)
{
    static QMutex lock;
    static QHash<QString, QHash<quint32, QChar>> cache;
    const QString key = font.face + QLatin1String(font.bold ? "|b" : "|") + QLatin1String(font.italic ? "i" : "");
    QHash<quint32, QChar> map;
    {
        QMutexLocker locked(&lock);
        auto it = cache.find(key);
        if (it != cache.end())
            map = *it;
    }
    if (map.isEmpty()) {
        CanvasFont f = font;
        f.height = 64;
        const QRawFont raw = QRawFont::fromFont(toQFont(f));
        QString chars;
        for (char16_t c = 0x20; c < 0x0530; ++c)
            chars.append(QChar(c));
        for (char16_t c = 0x2000; c < 0x2200; ++c)
            chars.append(QChar(c));
        const QList<quint32> ids = raw.isValid() ? raw.glyphIndexesForString(chars) : QList<quint32>();
        for (qsizetype i = ids.size() - 1; i >= 0; --i)
            if (ids[i] != 0)
                map.insert(ids[i], chars[i]);
        map.insert(0xFFFFFFFF, QChar());  // read, even when the face has no map
        QMutexLocker locked(&lock);
        if (cache.size() > 64)
            cache.clear();
        cache.insert(key, map);
    }
    QString s(static_cast<qsizetype>(n), QChar(u' '));
    for (std::uint64_t i = 0; i < n; ++i) {
        const quint32 g = readU16(glyphs + 2 * i);
        auto it = map.constFind(g);
        if (it != map.constEnd())
            s[static_cast<qsizetype>(i)] = *it;
        else if (g >= 3 && g <= 97)
            s[static_cast<qsizetype>(i)] = QChar(char16_t(g + 29));
    }
    return s;
}

// What a face the machine lacks is drawn in: the font configuration's default
// face, which is what asking for the unknown name itself ends in, found once.
static const QString kFallbackFace = QStringLiteral("sans-serif");

} // namespace emf

QString playableFace(const QString& face)
{
    // The families installed, and the Windows faces that the font
    // configuration maps onto metric-compatible families (Liberation, Carlito,
    // Caladea, Gelasio, the URW symbols), read once: the machine's fonts do
    // not change while the program runs.
    static const QSet<QString> known = [] {
        QSet<QString> names;
        for (const QString& family : QFontDatabase::families())
            names.insert(family.toCaseFolded());
        for (const char* alias : {"Arial", "Helvetica", "Times New Roman", "Times", "Courier New", "Courier",
                                  "Calibri", "Cambria", "Georgia", "Symbol"})
            names.insert(QString::fromLatin1(alias).toCaseFolded());
        return names;
    }();
    if (face.isEmpty() || !known.contains(face.toCaseFolded()))
        return emf::kFallbackFace;
    return face;
}

} // namespace platform
