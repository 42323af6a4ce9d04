#pragma once

namespace pr {

// Gives the drawing surface the role of a graphic for assistive technology, so a screen
// reader announces it by its name and description rather than as an unnamed pane. Installed
// once; later calls do nothing.
void installAccessibleSurface();

} // namespace pr
