#pragma once
#include <QtCore/QString>
#include <QtGui/QPainterPath>
#include <QtGui/QRawFont>
#include <deque>
#include <string>

namespace pr {

// The line letters as outlines of their italic face (P052 Italic), so that they are filled
// at whatever resolution the painter maps to rather than scaled up from a small bitmap.
// Outlines are unhinted and in logical surface pixels, pen origin (0, 0) on the baseline.
// Where the face is not installed, or lacks a character, there is no outline and the
// caller shows the bitmap instead.
class LetterGlyphs {
public:
    // The family looked for among the installed fonts, in its italic style.
    static QString familyName() { return QStringLiteral("P052"); }

    // Whether fontconfig has the family, from any foundry.
    static bool isInstalled(const QString &family);

    LetterGlyphs(); // finds the installed face, if any
    explicit LetterGlyphs(const QString &family); // that family's italic, or none if missing

    bool available() const { return font_.isValid(); }

    // The outline of UTF-8 `text` at `pixelSize` logical pixels, or null if the face is
    // missing or lacks one of its characters. Made once per text and size.
    const QPainterPath *outline(const std::string &text, int pixelSize) const;

private:
    QRawFont font_;
    struct Entry {
        std::string text;
        int pixelSize;
        QPainterPath path; // empty when the face lacks a character
    };
    mutable std::deque<Entry> cache_; // grows at the end only, so outlines handed out stay put
};

} // namespace pr
