#include "ControlTexts.h"

namespace pr {

QString qText(const std::string &utf8)
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

QString surfaceName()
{
    return QStringLiteral("図形");
}

QString surfaceDescription()
{
    return QStringLiteral(
        "緑の画面に、3本の平行線 p、q、r と、それを横切る2本の直線 ℓ、m が描かれています。"
        "ℓ と p、q、r の交点は Ａ、Ｂ、Ｃ、m との交点は Ａ'、Ｂ'、Ｃ' です。"
        "p と r の間で ℓ を写した赤い直線をドラッグすると左右に動き、交点 Ｄ、Ｅ、Ｆ もついて"
        "動きます。p より上で ℓ の近く、または m の近くを押すと、その直線の延長が現れ、"
        "2本の延長の交わる点が Ｇ です。右ボタンを押すと最初の画面に戻ります。");
}

} // namespace pr
