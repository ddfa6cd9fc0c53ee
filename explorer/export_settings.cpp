// The export of the settings, as the user sees it: see export_settings.h.
#include "explorer/export_settings.h"

#include "foundation/language.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "foundation/text_fill.h"
#include "reports/settings_export.h"
#include "resources/pages/export.h"

static void Tell(HWND owner, int textId, const char* const* values, int count, UINT icon)
{
    char pattern[1024];
    LoadText(textId, pattern, sizeof(pattern));
    char text[2048];
    TextFill(text, sizeof(text), pattern, values, count);
    MessageBoxExA(owner, text, ProductCaption(), MB_OK | icon | MB_TOPMOST, g_MessageLanguage);
}

static void TellFailure(HWND owner, const char* path, DWORD error)
{
    char detail[600];
    SystemErrorText(error, detail, sizeof(detail));
    const char* values[2] = { path, detail };
    Tell(owner, IDS_EXPORT_FAILED, values, 2, MB_ICONEXCLAMATION);
}

int ExportSettings(HWND owner)
{
    char path[VX_PATH];
    if (ExportFileName(path, sizeof(path)) == 0) {
        // The program folder and the user name make too long a path.
        GetProgramFolder(path);
        TellFailure(owner, path, ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    ExportOutcome outcome;
    if (!WriteSettingsScript(path, &outcome)) {
        TellFailure(owner, path, outcome.Error);
        return 0;
    }
    char longPath[VX_PATH];
    DWORD n = GetLongPathNameA(path, longPath, sizeof(longPath));
    if (n == 0 || n >= sizeof(longPath))
        TextCopy(longPath, path);
    if (outcome.Unwritable == 0) {
        const char* values[1] = { longPath };
        Tell(owner, IDS_EXPORT_SAVED, values, 1, MB_ICONINFORMATION);
    } else {
        char count[16];
        TEXT_FORMAT(count, "%d", outcome.Unwritable);
        const char* values[3] = { longPath, count, outcome.FirstUnwritable };
        Tell(owner, IDS_EXPORT_LEFT_OUT, values, 3, MB_ICONEXCLAMATION);
    }
    return 1;
}
