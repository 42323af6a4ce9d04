#pragma once
#include "tools/Tools.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtGui/QKeySequence>

namespace pr {

// The core's table of tools (tools/Tools.h) in Qt's terms: what the window's controls and
// tools are called, what they do and the keys that work them. The tooltips, the
// descriptions for assistive technology and the help are all made from that one table, so
// they cannot disagree with each other, with the web edition or with the keys the window
// really answers.

QString qText(std::string_view utf8);

// The tool's keys on the desktop, the one its tooltip names first.
QList<QKeySequence> keysOf(const Tool &tool);
// "tip (Ctrl+Z)", the key as the platform writes it; the tip alone without a key.
QString toolTipOf(const Tool &tool);

} // namespace pr
