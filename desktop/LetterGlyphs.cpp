#include "LetterGlyphs.h"

#include <QtGui/QFont>
#include <QtGui/QFontDatabase>
#include <algorithm>

namespace pr {

LetterGlyphs::LetterGlyphs() : LetterGlyphs(familyName()) {}

bool LetterGlyphs::isInstalled(const QString &family)
{
    if (family.isEmpty())
        return false;
    const QString withFoundry = family + QStringLiteral(" [");
    const QStringList installed = QFontDatabase::families();
    return std::any_of(installed.begin(), installed.end(), [&](const QString &f) {
        return f.compare(family, Qt::CaseInsensitive) == 0 ||
               f.startsWith(withFoundry, Qt::CaseInsensitive);
    });
}

LetterGlyphs::LetterGlyphs(const QString &family)
{
    // Only an installed family is asked for: Qt would otherwise substitute another face,
    // whose glyphs would not fit the letters' boxes. Qt names a family installed from two
    // foundries (the face's OpenType and Type 1 files) "P052 [urw]" and "P052 [UKWN]".
    if (!isInstalled(family))
        return;
    QFont f(family);
    f.setStyle(QFont::StyleItalic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPixelSize(100);
    QRawFont raw = QRawFont::fromFont(f);
    if (!raw.isValid() || raw.familyName().compare(family, Qt::CaseInsensitive) != 0 ||
        raw.style() != QFont::StyleItalic)
        return;
    font_ = raw;
}

const QPainterPath *LetterGlyphs::outline(const std::string &text, int pixelSize) const
{
    if (!available() || text.empty() || pixelSize <= 0)
        return nullptr;
    for (const Entry &e : cache_)
        if (e.pixelSize == pixelSize && e.text == text)
            return e.path.isEmpty() ? nullptr : &e.path;

    QRawFont raw = font_;
    raw.setPixelSize(pixelSize);
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QPainterPath path;
    const QList<quint32> glyphs = raw.glyphIndexesForString(s);
    bool complete = !glyphs.isEmpty();
    for (quint32 g : glyphs)
        complete = complete && g != 0; // glyph 0 is the face's "missing character" box
    if (complete) {
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
        QPointF pen;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            path.addPath(raw.pathForGlyph(glyphs[i]).translated(pen));
            pen += advances[i];
        }
    }
    cache_.push_back({text, pixelSize, path});
    return cache_.back().path.isEmpty() ? nullptr : &cache_.back().path;
}

} // namespace pr
