#include "ControlTexts.h"

namespace pr {

namespace {

QString native(const QKeySequence &key)
{
    return key.toString(QKeySequence::NativeText);
}

// The pens in the order of the digits that choose them: the upper row, then the lower.
int optionOfDigit(int digit) // 1..8
{
    return digit <= 4 ? digit + 3 : digit - 5;
}

constexpr const char *kColours[4] = {"赤色", "黄色", "青色", "消しゴム"};

} // namespace

ControlText commandText(int number)
{
    switch (number) {
    case 1:
        return {QStringLiteral("図を最初の状態に戻します。メモの書き込みと対角線は消え、"
                               "メモと対角線のモードも終わります。"),
                QStringLiteral("最初の画面に戻す"), QKeySequence(Qt::CTRL | Qt::Key_R)};
    case 2:
        return {QStringLiteral("プログラムを終了します。"), QStringLiteral("プログラムを終える"),
                QKeySequence(Qt::CTRL | Qt::Key_Q)};
    case 3:
        return {QStringLiteral("メモのモードを始めます。もう一度押すと終わります。メモの間は、"
                               "選んだペンで図に書き込み、消しゴムで消せます。"),
                QStringLiteral("図に書き込む"),
                QKeySequence(Qt::CTRL | Qt::Key_M)};
    case 4:
        return {QStringLiteral("対角線のモードを始めます。もう一度押すと終わります。記号のつい"
                               "た点を2つ続けて押すと、その間に赤い線を引きます。5本引くと終わ"
                               "ります。"),
                QStringLiteral("点と点を結ぶ"),
                QKeySequence(Qt::CTRL | Qt::Key_D)};
    default:
        return {};
    }
}

ControlText optionText(int index)
{
    if (index < 0 || index > 7)
        return {};
    const bool thick = index >= 4;
    const int colour = index % 4;
    const int digit = thick ? index - 3 : index + 5;
    const QString size = thick ? QStringLiteral("太い") : QStringLiteral("細い");
    const QString name = QString::fromUtf8(kColours[colour]);
    if (colour == 3)
        return {QStringLiteral("メモの間に選べます。%1消しゴムで、書き込みを消します。").arg(size),
                QStringLiteral("%1消しゴム").arg(size), QKeySequence(Qt::Key_0 + digit)};
    return {QStringLiteral("メモの間に選べます。%1%2の線で図に書き込みます。").arg(size, name),
            QStringLiteral("%1%2のペン").arg(size, name), QKeySequence(Qt::Key_0 + digit)};
}

ControlText largePointerText()
{
    return {QStringLiteral("図の上のマウスポインターを大きくします。もう一度で元に戻ります。"),
            QStringLiteral("大きいポインター"), QKeySequence(Qt::CTRL | Qt::Key_L)};
}

ControlText helpText()
{
    return {QStringLiteral("使い方とキーの一覧を表示します。"), QStringLiteral("使い方"),
            QKeySequence(Qt::Key_F1)};
}

ControlText fullScreenText()
{
    return {QStringLiteral("全画面表示にします。もう一度で元に戻ります。"),
            QStringLiteral("全画面表示"), QKeySequence(Qt::Key_F11)};
}

QString toolTip(const ControlText &text)
{
    return QStringLiteral("%1 (%2)").arg(text.tip, native(text.key));
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

QList<KeyHelp> keyHelp()
{
    const auto key = [](const ControlText &t) { return native(t.key); };
    const auto digits = [](int first, int last) {
        return QStringLiteral("%1 – %2")
            .arg(native(optionText(optionOfDigit(first)).key),
                 native(optionText(optionOfDigit(last)).key));
    };
    return {
        {key(commandText(1)), QStringLiteral("初期画面（最初の画面に戻す）")},
        {key(commandText(4)), QStringLiteral("対角線（始める・終える）")},
        {key(commandText(3)), QStringLiteral("メモ（始める・終える）")},
        {digits(1, 4), QStringLiteral("太字のペン：赤色、黄色、青色、消しゴム")},
        {digits(5, 8), QStringLiteral("細字のペン：赤色、黄色、青色、消しゴム")},
        {key(commandText(2)), QStringLiteral("終了")},
        {key(largePointerText()), QStringLiteral("大きいポインター（切り替え）")},
        {key(fullScreenText()), QStringLiteral("全画面表示（切り替え）")},
        {native(QKeySequence(Qt::Key_Escape)), QStringLiteral("全画面表示を終える")},
        {native(QKeySequence(Qt::Key_Tab)),
         QStringLiteral("次のボタンへ（ペンの中は矢印キーで選ぶ）")},
        {native(QKeySequence(Qt::Key_Space)), QStringLiteral("選んだボタンを押す")},
        {key(helpText()), QStringLiteral("この使い方")},
    };
}

} // namespace pr
