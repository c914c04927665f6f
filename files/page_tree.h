#pragma once
// The page tree of the real disk (disk.h): folders opened from the root's descriptor, one name at
// a time and never through a link, and pages written by FileWriteGroup::WriteIn.

#include "files/disk.h"

#include <memory>

// Opens the folder `root`, made with the folders above it when missing, as a page tree. Null with
// errno when it cannot be made or opened, or is no folder.
std::unique_ptr<PageTree> OpenRealPageTree(const char* root);
