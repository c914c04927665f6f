#pragma once
// The settings of the profile that a new profile folder starts with ("C++"): the built-in
// settings as a current editor would show the code. The one place that says what a first start
// looks like; "C++ defaults" keeps the built-in settings themselves.

#include "settings/profile_settings.h"

// The built-in settings with the C++23 keywords of the keyword sets and every optional class,
// literals and names, on in its suggested colour. Returns 1, or 0 when memory runs out.
int SetFirstProfileSettings(ProfileSettings& settings);
