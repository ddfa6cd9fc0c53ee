// Browser helper objects, toolbars and toolbar buttons ("extensions"): the
// listing, the baseline of approved helpers (HKCU
// Software\Quillon\Vardex\IEHelpers, one value per helper named by its
// Name, data its type code),
// the patrol that asks about new ones, and the removal of a helper's
// registrations.
#pragma once
#include "foundation/category_record.h"

#define BHO_KEY        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects"
#define TOOLBAR_KEY    "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar"
#define EXTENSIONS_KEY "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions"
#define VX_IEHELPERS_KEY "Software\\Quillon\\Vardex\\IEHelpers"

enum { HELPER_CODE_BHO = 900, HELPER_CODE_TOOLBAR = 901, HELPER_CODE_EXTENSION = 902 };

// Texts: the explorer's removal question ("%s" = the Name).
enum { TXT_HELPER_REMOVE_QUESTION = 698 };

// The class registration of a CLSID (braces added when it does not start
// with "{"): the default value of HKCR CLSID\{clsid} into className and that
// of its InprocServer32 subkey into file (each holds ITEM_COMMAND).  A CLSID
// with a "\" names no class.  Returns 1 when the file is not empty; both
// outputs "" when nothing is registered.
int ClsidInfo(const char* clsid, char* className, char* file);

// Empties the list and adds the helper objects (900), the toolbars
// (901) and the extensions (902), in that order: Name = product name of the
// file, else its file name (a toolbar without a class: its CLSID), Command =
// the file (an extension's Exec or script), Extra = the CLSID or subkey
// name, Info = product version (an extension's HotIcon, else its Command).
// A helper without a server file and an extension without a ButtonText are
// left out.  Returns the count.
int EnumIEHelpers(ItemList* list);

// Removes the registration of list entry index (by its type and Extra) and
// writes its history line (IEHELPER_Remove).  Then, when no add-on
// registration read afresh (helper object, toolbar, extension) still names
// file and file is not a system file (in the Windows folder or below it,
// or a bare name the search path would resolve), starts "regsvr32 /u /s"
// on the quoted file, without waiting: other registrations of the file are
// never touched, and the file's classes go only with its last one.  No
// file is deleted.  Returns the number of registrations removed (0 or 1).
int RemoveIEHelper(const ItemList* list, const char* file, int index);

// The HKLM key a helper of the code is registered under (BHO_KEY,
// TOOLBAR_KEY or EXTENSIONS_KEY); NULL for another code.
const char* HelperKindKey(int code);

// One patrol step over the helpers (the row's PatrolCategory).  Returns the
// number of helpers asked about.
int PatrolIEHelpers();

// The row: first half, period "IEHelpers", real-time "RealtimeIEHelper",
// auto answer "HideIEHelper", the helper alert.
extern const Category g_IEHelpersCategory;
