#include "FontFamilies.h"

#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <cmath>

namespace pr {

namespace {

const QStringList &gothicCandidates()
{
    static const QStringList names = {
        QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
        QStringLiteral("IPAPGothic"),      QStringLiteral("IPA Pゴシック"),
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
        QStringLiteral("Hiragino Kaku Gothic ProN"), QStringLiteral("IPAGothic"),
    };
    return names;
}

const QStringList &minchoCandidates()
{
    static const QStringList names = {
        QStringLiteral("ＭＳ Ｐ明朝"),       QStringLiteral("MS PMincho"),
        QStringLiteral("IPAPMincho"),       QStringLiteral("IPA P明朝"),
        QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Hiragino Mincho ProN"),
        QStringLiteral("IPAMincho"),
    };
    return names;
}

} // namespace

FontFamilies::FontFamilies() : FontFamilies(QFontDatabase::families()) {}

FontFamilies::FontFamilies(const QStringList &installed)
{
    gothic_ = firstInstalled(gothicCandidates(), installed);
    mincho_ = firstInstalled(minchoCandidates(), installed);
    // Without any Japanese face, fall back to the application's own family, which exists.
    if (gothic_.isEmpty())
        gothic_ = QGuiApplication::font().family();
    if (mincho_.isEmpty())
        mincho_ = gothic_;
}

QString FontFamilies::firstInstalled(const QStringList &candidates, const QStringList &installed)
{
    for (const QString &name : candidates)
        if (installed.contains(name, Qt::CaseInsensitive))
            return name;
    return {};
}

QFont FontFamilies::font(FontRole role, double scale) const
{
    QString family = gothic_;
    int px = 12; // 9 pt at 96 dpi
    bool bold = false;
    switch (role) {
    case FontRole::Default:
        break;
    case FontRole::Gothic16: // 12 pt
        px = 16;
        break;
    case FontRole::Gothic32B: // 24 pt bold
        px = 32;
        bold = true;
        break;
    case FontRole::Mincho29B: // 21.75 pt bold
        family = mincho_;
        px = 29;
        bold = true;
        break;
    }
    QFont f;
    f.setFamilies({family});
    f.setPixelSize(std::max(1, int(std::lround(px * scale))));
    f.setBold(bold);
    return f;
}

} // namespace pr
