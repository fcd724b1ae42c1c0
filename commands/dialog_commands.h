// Core commands that show the platform's common dialogs.
#pragma once

#include "runtime/values.h"

namespace core {

// ShowCommonDialog(CommonDlg unit) → logical: true when the user confirmed
// the unit's dialog; the outcome is then in the unit's properties.
void ShowCommonDialog(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
