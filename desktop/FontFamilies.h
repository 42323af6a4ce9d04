#pragma once
#include "draw/Look.h"

#include <QtCore/QStringList>
#include <QtGui/QFont>

namespace pr {

// Picks the Japanese gothic and mincho faces once, from the families that are installed.
// The form's own faces are used where present; otherwise the nearest proportional faces
// (IPA P on Debian). Only installed families are ever requested: asking for a missing one
// makes Qt search its aliases, which is slow at start-up.
class FontFamilies {
public:
    FontFamilies(); // reads the installed families
    explicit FontFamilies(const QStringList &installed);

    const QString &gothic() const { return gothic_; }
    const QString &mincho() const { return mincho_; }

    // The font of a text style at the given form scale; sizes are logical pixels times scale.
    QFont font(const look::TextStyle &style, double scale) const;
    QFont font(FontRole role, double scale) const { return font(look::textStyle(role), scale); }

    // First of the candidates that is installed (case-insensitive), or an empty string.
    static QString firstInstalled(const QStringList &candidates, const QStringList &installed);

private:
    QString gothic_;
    QString mincho_;
};

} // namespace pr
