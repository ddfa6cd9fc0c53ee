#include "foundation/detected.h"

#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"

#define DETECTED_ACTIVEX_KEY VX_DETECTED_KEY "\\ActiveX"

// The subkey that holds the dates of a location or kind code.
static const char* DetectedCategory(int code)
{
    if (code < 300)
        return "Startup";
    switch (code) {
    case 370: return "Hidden";
    case 400: return "FileTypes";
    case 700:
    case 701: return "Services";
    case 800: return "Tasks";
    case 900:
    case 901:
    case 902: return "IEHelper";
    case 1200: return "ActiveX";
    default: return "ActiveTasks";
    }
}

int GetDetectedDate(const char* keyText, int code, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_DATE_TEXT);
    out[0] = '\0';
    // An empty name would read the subkey's default value (ActiveX's "P").
    if (keyText == NULL || keyText[0] == '\0')
        return 0;
    char path[64];
    TEXT_FORMAT(path, "%s\\%s", VX_DETECTED_KEY, DetectedCategory(code));
    return RegReadString(HKEY_CURRENT_USER, path, keyText, out, outSize);
}

int RecordDetected(const char* keyText, const char* subkeyPath)
{
    if (keyText == NULL || keyText[0] == '\0' || subkeyPath == NULL)
        return 0;
    // ActiveX dates are keyed by the control's text, not by a file.
    if (!TextEqualNoCase(subkeyPath, DETECTED_ACTIVEX_KEY)) {
        char file[VX_PATH];
        ExpandProgramPath(keyText, file);
        if (file[0] == '\0' || !FileExists(file))
            return 0;
    }
    char date[VX_DATE_TEXT];
    if (RegReadString(HKEY_CURRENT_USER, subkeyPath, keyText, date, sizeof(date)) > 0)
        return 1;
    FormatNow(date);
    RegWriteString(HKEY_CURRENT_USER, subkeyPath, keyText, date);
    return 0;
}

void InitDetected()
{
    char date[VX_DATE_TEXT];
    if (RegReadString(HKEY_CURRENT_USER, VX_DETECTED_KEY, "", date, sizeof(date)) == 0) {
        RegCreateKeyPath(HKEY_CURRENT_USER, VX_DETECTED_KEY);
        FormatNow(date);
        RegWriteString(HKEY_CURRENT_USER, VX_DETECTED_KEY, "", date);
    }
    char marker[4];
    if (RegReadString(HKEY_CURRENT_USER, DETECTED_ACTIVEX_KEY, "", marker, sizeof(marker)) == 0)
        RegWriteString(HKEY_CURRENT_USER, DETECTED_ACTIVEX_KEY, "", "P");
}

int FileFacts(const char* path, int code, FileFactsRecord* record)
{
    if (!FileTimesAndSize(path, record))
        return 0;
    GetDetectedDate(path, code, record->detected);
    return 1;
}
