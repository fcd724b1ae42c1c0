// The commands of the shell library (library 4): the system's folder dialog
// and the paths of special folders.
//
// Paths come from the wide shell APIs, of any length, and go to program
// code as GBK texts allocated through the runtime. A path that code page 936
// cannot hold is returned as the empty text: converted, it would name some
// other folder, or none.
#pragma once

#include "libraries/shell/library.h"
#include "runtime/values.h"

namespace lib::shell {

// BrowseForFolder(title, include files (logical, optional)) → text: the
// chosen item's path; empty when the dialog was cancelled or the item has
// no file-system path. The program's top-level windows are disabled while
// the dialog is up and then get back their own enabled state.
void BrowseForFolder(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

// GetSpecialFolder(folder number) → text: the folder's path ending in a
// backslash; empty for another number or when the system has no such path.
// Shell folders are not created when they do not exist.
void GetSpecialFolder(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace lib::shell
