#include "foundation/detected.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/handles.h"
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

// The names of a key's values, each in a block of its own.
struct ValueNames {
    char** Names = NULL;
    int Count = 0;
    int Room = 0;
    ~ValueNames()
    {
        for (int i = 0; i < Count; i++)
            free(Names[i]);
        free(Names);
    }
};

// Every value name of the key, as stored (a value name holds at most
// 16,383 characters).  0 when memory ran out: then nothing is to be
// deleted on the strength of a partial list.
static int CollectValueNames(HKEY key, ValueNames* names)
{
    static char name[16384];
    for (DWORD index = 0;; index++) {
        DWORD length = sizeof(name);
        LONG rc = RegEnumValueA(key, index, name, &length, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            return 1;
        if (rc != ERROR_SUCCESS)
            continue;
        char* copy = TextDuplicate(name);
        if (copy == NULL || !GrowBlock(&names->Names, &names->Room, names->Count, 64)) {
            free(copy);
            return 0;
        }
        names->Names[names->Count++] = copy;
    }
}

int PurgeDetectedDates(const char* subkey)
{
    char path[128];
    TEXT_FORMAT(path, "%s\\%s", VX_DETECTED_KEY, subkey);
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE | KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    ValueNames names;
    if (!CollectValueNames(key, &names))
        return 0;
    int deleted = 0;
    for (int i = 0; i < names.Count; i++) {
        const char* name = names.Names[i];
        if (name[0] == '\0' || strcmp(name, DETECTED_FILLED_MARK) == 0)
            continue;
        char file[VX_PATH];
        if (TextLength(name, VX_PATH) < VX_PATH) {
            TextCopy(file, name);
            if (FileExists(file))
                continue;
        }
        if (RegDeleteValueA(key, name) == ERROR_SUCCESS)
            deleted++;
    }
    return deleted;
}
