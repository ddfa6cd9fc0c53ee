// Cookies and cookie filters.  Two stores: Internet Explorer's folder of
// one text file per cookie (mode 1) and the cookies.txt of a Mozilla-family
// profile (mode 3).  Filter texts ("nuts", HKCU Software\Quillon\Vardex\Nuts,
// data "1" standing, "2" one-time) remove matching cookies: IE files at
// once, Mozilla lines through a rewrite into cookiesnew.txt that replaces
// cookies.txt when the browser is not running (the option
// "UpdateCookieFile" = "1" while it waits).
#pragma once
#include "foundation/category_record.h"

#define VX_NUTS_KEY    "Software\\Quillon\\Vardex\\Nuts"
#define VX_COOKIES_KEY "Software\\Quillon\\Vardex\\Cookies"

enum { COOKIE_MODE_IE = 1, COOKIE_MODE_MOZILLA = 3 };
// Item-list codes of the two kinds of cookie.
enum { CODE_IE_COOKIE = 500, CODE_MOZILLA_COOKIE = 504 };

// The mode ListCookies works in (1 unless set).
int CookieMode();
void SetCookieMode(int mode);
// The mode the default browser calls for: 3 for Netscape, Firefox and
// Mozilla, else 1.
int CookieModeForBrowser();
// The mode the explorer's option "Browser" names (1 Internet Explorer, 6
// Firefox; the browser codes of the default-browser test): as above.
int CookieModeForOption(int browser);
// 1 when Firefox 3 or later is installed: its cookies are no cookies.txt.
int FirefoxThreeOrLater();

// The IE cookie folder with a trailing "\" (out holds VX_PATH): the first
// of IECookieFolder, Shell Folders "Cookies", User Shell Folders "Cookies",
// <Windows>\Cookies that holds index.dat.  0 and text 968 when none does.
int GetIECookieFolder(char* out);
// The Mozilla profile folder, no trailing "\" (out holds VX_PATH).  0 and ""
// when none is found.
int GetMozillaProfileFolder(char* out);
// The cookie folder of the current mode (the IE folder, or the Mozilla
// profile folder): 0 and text 968 when there is none.
int GetCookieFolder(char* out);

// The filter list in memory.  LoadNuts reads it (blank names skipped) and
// returns the count; IsNut is 1 when a filter text occurs in text.
int LoadNuts();
void FreeNuts();
int NutCount();
int IsNut(const char* text);
// Deletes every one-time filter (data "2").  Returns how many went.
int PurgeOneTimeNuts();

// Empties the list and lists the cookies of the current mode, at most
// "MaxCookie" IE cookies.  With filter set the filter list is loaded (and
// freed after): matching IE cookie files are deleted and not listed, all
// of them, past the cap too; a Mozilla cookies.txt is
// rewritten without the matching lines into cookiesnew.txt and the rewrite
// marked pending (nothing is listed then).  Returns the count listed (with
// filter in mode 3: 1 when the rewrite was made, 0 when not).
int ListCookies(ItemList* list, int filter);

// The filtered rewrite of <profile>\cookies.txt into cookiesnew.txt: the
// whole file read first, every line that passes copied byte for byte, the
// result written to a temporary file renamed into place.  A file that
// cannot be read whole (over 64 MB, or read short) is not rewritten: a
// rewrite of its first part would drop the rest.  Uses the loaded filter
// list.  1 when cookiesnew.txt was written.
int RewriteCookieFile(const char* profile);

// When a rewrite is pending and no window of class "MozillaWindowClass"
// exists: redoes the rewrite from cookies.txt as it is now (the browser may
// have added cookies since) and puts it in place of cookies.txt; the
// pending flag is cleared only then.  1 when replaced.
int CommitCookieFile();
void SetCookieFilePending(int on);
int CookieFilePending();

// The explorer's filter list: add (a blank text, one over 511 characters
// or the 256th filter is refused; the 256th with text 729) and remove.
// Adding filters the cookies at once.  1 when done.
int AddNut(const char* text);
int RemoveNut(const char* text);
// 1 when the explorer may add no further filter (255 are there).
int NutLimitReached();

// The explorer's filter list, for its Cookies page: one record per filter,
// Name its text cut to fit, Info its whole text, Flag 1 standing or 2
// one-time.  Returns the count.
int ListNutsAll(ItemList* out);
// The cookies the explorer's cookie list shows in the current mode: a
// Mozilla cookie that a filter names (one waiting for the rewrite to take
// it) is left out.  Returns the count.
int ListCookiesShown(ItemList* out);
// Marks a cookie (by its Name) kept, value "1" under Cookies, or forgets
// the mark.  1 when done.
int KeepCookie(const char* name, int keep);
// Removes cookies of the current mode: each one's kept mark goes; an IE
// cookie's file is deleted (a one-time filter named by the cookie when
// there is no cookie folder); a Mozilla cookie is named by a one-time
// filter, the rewrite made at once and put in place of cookies.txt when the
// browser is not running (the one-time filters are then purged, as the
// patrol does).  Returns how many were removed or are waiting to be.
int RemoveCookies(const ItemRecord* const* cookies, int count);

// Lists the cookies into list and returns the index of the first whose
// Name has no value under Cookies, or -1.
int FindNewCookie(ItemList* list);

extern const Category g_CookieFilterCategory;
extern const Category g_CookieFileCategory;
extern const Category g_NewCookiesCategory;
