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

} // namespace pr
