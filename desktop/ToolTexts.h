#pragma once
#include "ControlTexts.h"

namespace pr {

// The board's tools beside the form's own controls: what the tool strip's buttons and the
// matching keys do, in the style of ControlTexts. The keys follow the platform's
// conventions where it has one (copy, print, undo ...); saving as an image has none, so it
// takes Ctrl+E, next to the usual save.
enum class Tool {
    Undo,
    Redo,
    ClearWriting,
    Open,
    Save,
    Restore, // the board the last run of the program left (前回の板書)
    SaveImage,
    Copy,
    Print,
};

inline constexpr Tool kAllTools[] = {Tool::Undo,    Tool::Redo,      Tool::ClearWriting,
                                     Tool::Open,    Tool::Save,      Tool::Restore,
                                     Tool::SaveImage, Tool::Copy,    Tool::Print};

// The short caption on the tool's button and in its accessible name.
QString toolCaption(Tool tool);
ControlText toolText(Tool tool);

// The tools' keys for the help's list, in the strip's order; tools without a key are left out.
QList<KeyHelp> toolKeyHelp();

} // namespace pr
