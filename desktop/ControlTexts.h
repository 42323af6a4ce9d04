#pragma once
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtGui/QKeySequence>

namespace pr {

// What the window's controls do and the keys that work them, in one place: the tooltips,
// the descriptions for assistive technology and the help are all made from it, so they
// cannot disagree with each other or with the keys the window really answers.
//
// Keys. No single function key resets or ends anything: presenter remotes send F5, Esc and
// the page keys, and a stray press must not wipe the class's writing. F1, F11 and Esc keep
// their usual meanings (help, full screen, leave full screen). The pens take the digits in
// the order the tab key visits them: 1-4 the upper row (太字), 5-8 the lower row (細字).
struct ControlText {
    QString description; // what it does, for assistive technology
    QString tip;         // tooltip, without the key
    QKeySequence key;
};

ControlText commandText(int number); // 1 初期画面, 2 終了, 3 メモ, 4 対角線
ControlText optionText(int index);   // pen option 0..7 (0..3 thin, 4..7 thick)
ControlText largePointerText();
ControlText helpText();
ControlText fullScreenText();

// "tip (key)", the key as the platform writes it.
QString toolTip(const ControlText &text);

// The surface, for assistive technology: what the figure shows and how to work it.
QString surfaceName();
QString surfaceDescription();

struct KeyHelp {
    QString keys; // as the platform writes them, e.g. "Ctrl+R" or "1 – 4"
    QString what;
};

// Every key the window answers, in the order the help lists them.
QList<KeyHelp> keyHelp();

} // namespace pr
