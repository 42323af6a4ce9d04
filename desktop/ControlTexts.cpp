#include "ControlTexts.h"

namespace pr {

QString qText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QList<QKeySequence> keysOf(const Tool &tool)
{
    QList<QKeySequence> keys;
    for (const Key &k : tool.keys)
        if (offeredOn(k.where, FrontEnd::Desktop))
            keys.append(QKeySequence::fromString(qText(k.text()), QKeySequence::PortableText));
    return keys;
}

QString toolTipOf(const Tool &tool)
{
    const QList<QKeySequence> keys = keysOf(tool);
    if (keys.isEmpty())
        return qText(tool.tip);
    return QStringLiteral("%1 (%2)").arg(qText(tool.tip),
                                         keys.front().toString(QKeySequence::NativeText));
}

} // namespace pr
