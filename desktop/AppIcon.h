#pragma once
#include "AppIdentity.h" // generated from cmake/Identity.cmake

#include <QtCore/QString>
#include <QtGui/QIcon>

namespace pr {

// The application id: the installed desktop entry, metainfo and icon are named after it.
QString applicationId();

// The program's name, whatever its file is called: it names the settings file and, on X11,
// is the window's class, which the desktop entry's StartupWMClass must repeat for docks to
// group the window with its launcher.
QString applicationName();

// The project's version, as CMake knows it.
QString applicationVersion();

// The application icon in every size drawn for it, from the embedded PNGs (no SVG plugin
// needed).
QIcon applicationIcon();

// The pixel sizes the icon is drawn in, and those handed to the window system with the
// window (AppIdentity.h).
using identity::kIconSizes;
using identity::kWindowIconSizes;

// Sets the names and version the settings and the command line use. Needs no application
// object, so a run that only prints its version or help never connects to a display.
void setApplicationNames();

// Names the application after its id and gives its windows the icon (after the names,
// with an application object).
void setApplicationIdentity();

} // namespace pr
