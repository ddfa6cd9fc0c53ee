// The numbered texts that code shared by both programs loads (each program's
// string table carries them; a translation may override any of them).
// Texts that only one program shows are named in its own resource header.
#pragma once

enum SharedText {
    TXT_CAPTION = 2,               // the product name, every message box's caption
    TXT_HTTP_OPEN_KEY = 5,         // the HTTP open command's key
    TXT_IE_APP_PATHS_KEY = 12,     // the browser's App Paths key
    TXT_COL_TITLE = 627,           // history list columns
    TXT_COL_COMMAND = 628,
    TXT_LANGUAGE_CODE = 634,       // the two-letter language code
    TXT_NEVER = 686,               // a time that cannot be shown
    TXT_COL_DATE = 713,
    TXT_COL_ACTION = 715,
    TXT_FILE_IN_USE = 923,         // a size that cannot be read
    TXT_CONFIRM_HOOK_REMOVAL = 1013,
    TXT_VERSION_CHECK_ADDRESS = 1149,  // the version check's address
    TXT_EXPLORER_MENU_VERB = 1183,
};
