// The notification-area icon, its menu and the alert sounds.
#pragma once
#include <windows.h>

enum TrayOperation { TRAY_ADD = 0, TRAY_MODIFY = 1, TRAY_DELETE = 2 };

#define VX_TRAY_ICON_ID 6036

// 1 while a tray callback is being handled (the menu runs its own loop).
extern int g_TrayMenuGuard;

// Adds, modifies or deletes the icon (icon id or 0, tooltip text id).
// Returns 1 when the Shell was called, 0 when "HideRusko" is 1.
int SetTrayIcon(int operation, int iconId, int tipTextId);
int SetTrayStatus(int iconId, int tipTextId);
// How many times the Shell has been called since the program started.
int TrayRoundTrips();

// Message 6035: wParam is the icon id, lParam the mouse message.
void OnTrayNotify(UINT iconId, UINT mouseMessage);

// Sound events of the alerts (index 0 to 5; above 5 plays as 0).  Plays
// synchronously: the alert appears after its sound.  Returns what it played
// (callers ignore it): 0 nothing ("Sound" is 0 or less), 1 the scheme's
// file, 2 the built-in sound (the scheme entry is empty or missing).
enum { SOUND_NONE = 0, SOUND_SCHEME_FILE = 1, SOUND_BUILT_IN = 2 };
int PlayAlertSound(int index);

// The events of the sound scheme, "Apps\Vardex\..." relative to HKCU
// AppEvents\Schemes; index 0 to 6.
const char* SoundEventName(int index);

// Makes the alert sounds known to the Windows sound scheme (HKCU AppEvents:
// the application "Vardex", one event per index with an empty ".current",
// which plays the built-in sound, and a label for the Control Panel).
// Keys and labels already present are left as the user set them.
void RegisterSoundEvents();
