// ActiveX controls: the controls the browser has used (its add-on
// statistics), the baseline of controls already seen (HKCU
// Software\Quillon\Vardex\ActiveX, default value "P", one value per CLSID
// holding "1200"), the patrol that asks about new ones, and the browser's
// kill bit that switches a control off.
#pragma once
#include <windows.h>

#include "foundation/category_record.h"

#define EXT_STATS_KEY       "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats"
#define ACTIVEX_COMPAT_KEY  "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility"
#define VX_ACTIVEX_KEY      "Software\\Quillon\\Vardex\\ActiveX"

enum { ACTIVEX_CODE = 1200 };
// The bit of "Compatibility Flags" that keeps the browser from loading a
// control.
#define ACTIVEX_KILL_BIT 0x400u

// Texts of a control's state and the explorer's question before disabling.
enum { TXT_ACTIVEX_DISABLED = 666, TXT_ACTIVEX_ENABLED = 1156,
       TXT_ACTIVEX_DISABLE_QUESTION = 1159 };

// Adds one entry per control of HKCU Ext\Stats to the list (emptying it first
// unless append is set): Name = class name, else the file's description,
// product name or file name; Command = the expanded server file; Extra =
// the CLSID; Info = product version; Code 1200; Flag = its compatibility
// flags.  Left out: a CLSID without a server file, one whose iexplore\Type
// is neither 0 nor 1, and with "HideMicrosoftActiveX" above 0 a control
// whose company names "Microsoft".  Returns the list length; -1 when the
// statistics key is there but cannot be read.
int EnumActiveX(ItemList* list, int append);

// EnumActiveX, then the controls named under ActiveX Compatibility (a
// subkey with an AlternateCLSID stands for that CLSID), without the Type
// test and without repeating a CLSID already listed.  Returns the length.
int EnumActiveXAll(ItemList* list);

// The whole REG_DWORD "Compatibility Flags" of ActiveX Compatibility\{clsid}
// (a text value is read as a number, "0x" for hexadecimal); 0 when absent.
DWORD GetCompatibilityFlags(const char* clsid);

// Sets the kill bit, creating the key when needed; every other bit stays.
// 1 when the value holds the bit afterwards.
int DisableActiveX(const char* clsid);
// Clears the kill bit of an existing value; every other bit stays.  1 when
// the value lacks the bit afterwards (also when there was none).
int EnableActiveX(const char* clsid);

// One patrol step over the controls.  Returns the number asked about.
int PatrolActiveX();

// The row: first half, period "ActiveX", real-time "RealtimeActiveX", auto
// answer "HideActiveX", the ActiveX alert.  A control enters the baseline
// once it is accepted, or refused and its kill bit holds.  A kill bit that
// cannot be written is told once (NOTICE_DISABLE_FAILED) and the control is
// not asked about again until the program starts anew.  Its ListAll is
// EnumActiveXAll when "ActiveXListAll" is set, else EnumActiveX.
extern const Category g_ActiveXCategory;
