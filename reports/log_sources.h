// The browser's extension points that only the scan log lists: helper
// objects and toolbars as their registrations name them, context-menu
// entries, buttons and menu items, option groups, plug-ins, downloaded
// controls, delay-loaded shell objects, shared task schedulers and the
// trusted sites.  Each empties the list it is given and fills it; each
// returns the count.  Everything else in the log comes from the category
// rows.
#pragma once
#include "foundation/item_list.h"

#define MENUEXT_KEY        "Software\\Microsoft\\Internet Explorer\\MenuExt"
#define ADVANCED_OPTIONS_KEY "SOFTWARE\\Microsoft\\Internet Explorer\\AdvancedOptions"
#define PLUGINS_KEY        "SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\Extension"
#define DPF_KEY            "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units"
#define ZONE_DOMAINS_KEY \
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains"

// The zone of the sites the user trusts.
enum { TRUSTED_SITES_ZONE = 2, RESTRICTED_SITES_ZONE = 4 };

// Extension entries: a button, a Tools menu item.
enum { LOG_EXT_BUTTON = 1, LOG_EXT_MENU_ITEM = 2 };

// HKLM helper objects: Name = class name, Command = class file, Extra =
// CLSID, Code 900.
int EnumLogBHO(ItemList* list);
// HKLM toolbars: the same, Info = the file's company.
int EnumLogToolbars(ItemList* list);
// HKCU MenuExt subkeys with a default value: Name = subkey, Command = it.
int EnumLogMenuExt(ItemList* list);
// Extensions of HKLM, then HKCU (" (HKCU)" after the command): the button
// (Code 1, Name = ButtonText or "(no name)") and, with a MenuText, the
// menu item (Code 2); Command = script, else exec, else the class file of
// the subkey; Extra = the subkey.  One without a command is left out.
int EnumLogExtensions(ItemList* list);
// Option groups not of the browser's own help file: Name = Text, Command =
// HelpID, Extra = Bitmap up to its last "\".
int EnumLogAdvancedOptions(ItemList* list);
// Plug-ins with a Location: Name = subkey, Command = Location.
int EnumLogPlugins(ItemList* list);
// Downloaded controls with a CODEBASE: Name = class name, Command =
// CODEBASE, Extra = class file, Info = subkey.
int EnumLogDPF(ItemList* list);
// Delay-loaded shell objects with a class file: Name = class name, Command
// = class file, Extra = CLSID, Info = value name.
int EnumLogDelayLoad(ItemList* list);
// Shared task schedulers with a class file: Name = class name, Command =
// class file, Extra = CLSID, Info = description.
int EnumLogSharedTaskScheduler(ItemList* list);
// The domains of HKLM, then HKCU, that the user put in the trusted zone:
// the domain's own "*" value, else that of the first of its subkeys whose
// "*" names the trusted or the restricted zone, is the trusted zone.
// Name = the domain.
int EnumLogTrustedZone(ItemList* list);
