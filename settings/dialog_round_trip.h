#pragma once
// What the way through the dialog's controls does to settings: the dialog shows a loaded profile
// in its controls and converts with what it reads back from them. The command line has no dialog
// and gives its settings the same change.

#include "settings/profile_settings.h"

// Colours keep the low 24 bits that their boxes show (an optional class's colour too, or -1
// when it is off), flags become 0 or 1 as a toggle reports them, numbers stay as they are, and
// the keywords are joined by spaces, pass the keyword box (ThroughTextBox) and are split again.
// A list that comes back as it was is left in place, not built again. Returns 1, or 0 when
// memory runs out.
int ThroughTheDialog(ProfileSettings& settings);
