// The configuration dialog's window and controls, at 96 DPI.
#pragma once

#include <span>

#include "win32/Forms.h"

inline constexpr int kSplitterWidth = 6;  // between the tree and the right panel

extern const TFormDef kConfigDef;
// Parents before children; the order is also the order of the Tab key.
std::span<const TControlDef> ConfigControls();
