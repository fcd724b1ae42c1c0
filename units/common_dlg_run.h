// Running a CommonDlg unit's dialog: the platform calls it makes, which
// tests can replace, and the run itself. Kept apart from units/common_dlg.h
// so that the platform's dialog header reaches only the code that needs it.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "windows/unit_object.h"

namespace units {

// The platform functions a dialog run calls; tests put their own in place.
struct CommonDialogPlatform {
  BOOL(WINAPI* getOpenFileName)(OPENFILENAMEW*) = &GetOpenFileNameW;
  BOOL(WINAPI* getSaveFileName)(OPENFILENAMEW*) = &GetSaveFileNameW;
  BOOL(WINAPI* chooseFont)(CHOOSEFONTW*) = &ChooseFontW;
  BOOL(WINAPI* winHelp)(HWND, LPCWSTR, UINT, ULONG_PTR) = &WinHelpW;
};

// Runs the dialog of the unit's dialog kind modally on the calling thread.
// True when the user confirmed it (help: when the help viewer was called);
// a cancelled or failed dialog changes nothing. A unit that is no CommonDlg,
// or whose window ends while its dialog is open, answers false.
bool RunCommonDialog(win::UnitObject& unit, const CommonDialogPlatform& platform = {});

}  // namespace units
