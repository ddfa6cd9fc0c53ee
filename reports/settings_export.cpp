// The export of the settings: see settings_export.h.
#include "reports/settings_export.h"

#include <lmcons.h>
#include <stdlib.h>
#include <string.h>

#include "foundation/handles.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "reports/reg_text.h"
#include "reports/report_file.h"

// The script is handed to the file in blocks of about this size.
#define EXPORT_FLUSH_BYTES 65536
// Room for any key or value name (16,383 characters, twice that as ANSI
// bytes of a double-byte code page).
#define EXPORT_NAME_ROOM 32770

namespace {

struct Export {
    ReportFile* File;
    RegText Text;
    ExportOutcome* Outcome;
};

const char* RootName(HKEY root)
{
    if (root == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (root == HKEY_USERS)
        return "HKEY_USERS";
    if (root == HKEY_CURRENT_CONFIG)
        return "HKEY_CURRENT_CONFIG";
    return "HKEY_LOCAL_MACHINE";
}

// Hands the text gathered so far to the file; the first failure is kept and
// nothing more is written after it.
void Flush(Export* e)
{
    if (e->Text.Failed && e->Outcome->Error == 0)
        e->Outcome->Error = ERROR_NOT_ENOUGH_MEMORY;
    if (e->Outcome->Error == 0 && e->Text.Length > 0)
        e->File->Put(e->Text.Data, e->Text.Length);
    if (e->Outcome->Error == 0)
        e->Outcome->Error = e->File->Error();
    RegTextClear(&e->Text);
}

void LeaveOut(Export* e, const char* path, const char* name)
{
    if (e->Outcome->Unwritable++ == 0)
        TEXT_FORMAT(e->Outcome->FirstUnwritable, "%s\\%s", path, name);
}

// A block that grows to what the registry says it needs.
struct Buffer {
    char* Data = NULL;
    DWORD Size = 0;
    ~Buffer() { free(Data); }
    bool Fit(DWORD size)
    {
        if (size <= Size)
            return true;
        char* grown = (char*)realloc(Data, size);
        if (grown == NULL)
            return false;
        Data = grown;
        Size = size;
        return true;
    }
};

// The value lines of one open key.  The buffers start at the key's own
// figures and grow when a value grew meanwhile; a value that still does not
// fit after a few tries is counted as left out, never dropped unsaid.
void WriteValues(Export* e, HKEY key, const char* path, DWORD maxName, DWORD maxData)
{
    Buffer name, data;
    if (!name.Fit(maxName + 1) || !data.Fit(maxData + 1)) {
        e->Text.Failed = 1;
        return;
    }
    int tries = 0;
    for (DWORD index = 0; !e->Text.Failed;) {
        DWORD nameSize = name.Size, dataSize = data.Size, type = 0;
        LONG rc = RegEnumValueA(key, index, name.Data, &nameSize, NULL, &type,
                                (BYTE*)data.Data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            return;
        if (rc == ERROR_MORE_DATA && ++tries < 4) {
            // A name has at most 16,383 characters; dataSize is what the data needs.
            DWORD wanted = dataSize > data.Size ? dataSize : data.Size * 2;
            if (!name.Fit(EXPORT_NAME_ROOM) || !data.Fit(wanted))
                e->Text.Failed = 1;
            continue;
        }
        index++;
        tries = 0;
        if (rc != ERROR_SUCCESS)
            LeaveOut(e, path, "?");
        else if (!RegAppendValueLine(&e->Text, name.Data, type, (const BYTE*)data.Data, dataSize))
            LeaveOut(e, path, name.Data);
        else
            e->Outcome->Values++;
        if (e->Text.Length >= EXPORT_FLUSH_BYTES)
            Flush(e);
    }
}

// One key block, then its subkeys' blocks, depth first.
void WriteKey(Export* e, HKEY root, const char* path, int isTree)
{
    RegAppendKeyLine(&e->Text, RootName(root), path);
    e->Outcome->Keys++;
    RegKey key;
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS ||
        RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, &maxSubkey, NULL, &values,
                         &maxName, &maxData, NULL, NULL) != ERROR_SUCCESS) {
        // A tree that is not there is normal; a subkey that was just listed is not.
        if (!isTree)
            LeaveOut(e, path, "*");
        RegTextAdd(&e->Text, "\r\n", 2);
        return;
    }
    WriteValues(e, key, path, maxName, maxData);
    RegTextAdd(&e->Text, "\r\n", 2);
    Buffer subkey;
    RegText subpath = {};
    for (DWORD index = 0; e->Outcome->Error == 0 && !e->Text.Failed;) {
        if (!subkey.Fit(maxSubkey + 1)) {
            e->Text.Failed = 1;
            break;
        }
        DWORD size = subkey.Size;
        LONG rc = RegEnumKeyExA(key, index, subkey.Data, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc == ERROR_MORE_DATA && maxSubkey < EXPORT_NAME_ROOM) {
            maxSubkey = EXPORT_NAME_ROOM;
            continue;
        }
        index++;
        if (rc != ERROR_SUCCESS) {
            LeaveOut(e, path, "[?]");
            continue;
        }
        RegTextClear(&subpath);
        RegTextAdd(&subpath, path, strlen(path));
        RegTextAdd(&subpath, "\\", 1);
        RegTextAdd(&subpath, subkey.Data, size);
        if (subpath.Failed) {
            e->Text.Failed = 1;
            break;
        }
        WriteKey(e, root, subpath.Data, 0);
    }
    RegTextFree(&subpath);
}

}  // namespace

int ExportFileName(char* out, size_t outSize)
{
    char folder[VX_PATH];
    char user[UNLEN + 1] = "";
    DWORD userSize = sizeof(user);
    if (!GetUserNameA(user, &userSize))
        user[0] = '\0';
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\%s-Vardex.reg", GetProgramFolder(folder) > 0 ? folder : ".", user);
    if (strlen(path) >= VX_PATH || strlen(path) >= outSize) {
        if (outSize > 0)
            out[0] = '\0';
        return 0;
    }
    return (int)TextCopy(out, outSize, path);
}

int WriteSettingsScript(const char* path, ExportOutcome* outcome)
{
    memset(outcome, 0, sizeof(*outcome));
    // A file the user made read-only is kept as it is, as the system itself
    // would refuse to replace it (a process with every right would not).
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        outcome->Error = ERROR_ACCESS_DENIED;
        return 0;
    }
    ReportFile file;
    if (!file.Open(path)) {
        outcome->Error = file.Error();
        return 0;
    }
    Export e = { &file, {}, outcome };
    static const char header[] = "Windows Registry Editor Version 5.00\r\n\r\n";
    RegTextAdd(&e.Text, header, sizeof(header) - 1);
    WriteKey(&e, HKEY_CURRENT_USER, EXPORT_USER_TREE, 1);
    WriteKey(&e, HKEY_LOCAL_MACHINE, EXPORT_MACHINE_TREE, 1);
    Flush(&e);
    RegTextFree(&e.Text);
    if (!file.Close() && outcome->Error == 0)
        outcome->Error = file.Error();
    return outcome->Error == 0;
}
