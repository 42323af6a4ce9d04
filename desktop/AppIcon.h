#pragma once
#include <QtCore/QString>
#include <QtGui/QIcon>

namespace pr {

// The application id: the installed desktop entry, metainfo and icon are named after it.
QString applicationId();

// The application icon in every size drawn for it, from the embedded PNGs (no SVG plugin
// needed).
QIcon applicationIcon();

// The pixel sizes the icon is drawn in.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The sizes handed to the window system with the window: what title bars, task bars and
// window switchers show. Larger views take the installed theme icon, so the start-up need
// not decode the large PNGs.
inline constexpr int kWindowIconSizes[] = {16, 32, 48, 64};

// Names the application after its id and gives its windows the icon.
void setApplicationIdentity();

} // namespace pr
