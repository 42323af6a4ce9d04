#include "FontFamilies.h"

#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <algorithm>
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

QFont FontFamilies::font(const look::TextStyle &style, double scale) const
{
    QFont f;
    f.setFamilies({style.face == look::Face::Mincho ? mincho_ : gothic_});
    f.setPixelSize(std::max(1, int(std::lround(style.pixelSize * scale))));
    f.setBold(style.bold);
    return f;
}

} // namespace pr
