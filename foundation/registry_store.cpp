#include "foundation/registry_store.h"

#include "foundation/handles.h"
#include "foundation/text.h"

void (*g_RegistryNote)(const char* note, const char* what) = NULL;

static void RegistryNote(const char* note, const char* what)
{
    if (g_RegistryNote != NULL)
        g_RegistryNote(note, what);
}

int RegCreateKeyPath(HKEY root, const char* path)
{
    RegKey key;
    if (key.Create(root, path) != ERROR_SUCCESS) {
        RegistryNote("ERROR RegCreateKey", path);
        return 0;
    }
    return 1;
}

int RegReadString(HKEY root, const char* path, const char* name, char* out, int outSize)
{
    if (out == NULL || outSize <= 0)
        return 0;
    out[0] = '\0';

    RegKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return 0;

    char data[VX_REG_TEXT_MAX + 1];
    DWORD type = 0;
    DWORD size = VX_REG_TEXT_MAX;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return 0;
    // Stored text need not carry its terminating zero.
    data[size < VX_REG_TEXT_MAX ? size : VX_REG_TEXT_MAX] = '\0';

    const char* text = data;
    char expanded[VX_REG_TEXT_MAX];
    if (type == REG_EXPAND_SZ) {
        DWORD need = ExpandEnvironmentStringsA(data, expanded, sizeof(expanded));
        if (need == 0 || need > sizeof(expanded)) {
            RegistryNote("Registry Error #1023: String can not be expanded", name);
            return 0;
        }
        text = expanded;
    }

    size_t length = TextLength(text, VX_REG_TEXT_MAX);
    if (length + 1 > (size_t)outSize) {
        RegistryNote("Registry Error #1024: Buffer overflow contained", name);
        return 0;
    }
    TextCopy(out, (size_t)outSize, text);
    return (int)length;
}

// Opens with the given access, or creates the key when the open fails.
static LONG OpenOrCreate(RegKey& key, HKEY root, const char* path, REGSAM access)
{
    if (key.Open(root, path, access) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    LONG rc = key.Create(root, path, access);
    if (rc != ERROR_SUCCESS)
        RegistryNote("ERROR RegCreateKey", path);
    return rc;
}

int RegWriteString(HKEY root, const char* path, const char* name, const char* text)
{
    RegKey key;
    if (OpenOrCreate(key, root, path, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return 0;
    if (text == NULL)
        text = "";
    DWORD size = (DWORD)TextLength(text, 0x7fffffff) + 1;
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, size) == ERROR_SUCCESS;
}

int RegWriteDword(HKEY root, const char* path, const char* name, DWORD value)
{
    RegKey key;
    if (OpenOrCreate(key, root, path, KEY_WRITE) != ERROR_SUCCESS)
        return 0;
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value)) == ERROR_SUCCESS;
}

int RegReadDword(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return 0;
    BYTE data[16] = { 0 };
    DWORD type = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, name, NULL, &type, data, &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_DWORD)
        return 0;
    return (int)(signed char)data[0] + 256 * (int)(signed char)data[1];
}

int RegDeleteValueNamed(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_WRITE) != ERROR_SUCCESS)
        return 0;
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) {
        RegistryNote("ERROR RegDeleteValue", name);
        return 0;
    }
    return 1;
}

int RegDeleteKeyTree(HKEY root, const char* path)
{
    if (RegDeleteKeyA(root, path) == ERROR_SUCCESS)
        return 1;

    RegKey key;
    LONG rc = key.Open(root, path, KEY_READ);
    if (rc != ERROR_SUCCESS)
        return rc == ERROR_FILE_NOT_FOUND ? 1 : 0;

    char work[520];
    size_t base = TextCopy(work, path);
    if (base == 0 || work[base - 1] != '\\')
        base = TextAppendChar(work, '\\');

    for (;;) {
        char child[261];
        DWORD childLength = sizeof(child);
        if (RegEnumKeyExA(key, 0, child, &childLength, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        work[base] = '\0';
        // A path cut to the working copy would name another key.
        if (base + TextLength(child, sizeof(child)) >= sizeof(work))
            break;
        TextAppend(work, child);
        // A subkey that cannot be removed would be enumerated again forever.
        if (!RegDeleteKeyTree(root, work) || RegKeyExists(root, work))
            break;
    }
    key.Close();
    return RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

int RegKeyExists(HKEY root, const char* path)
{
    RegKey key;
    return key.Open(root, path, KEY_READ) == ERROR_SUCCESS;
}

void StampKey(HKEY root, const char* path, KeyStamp* stamp)
{
    memset(stamp, 0, sizeof(*stamp));
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return;
    stamp->ok = RegQueryInfoKeyA(key, NULL, NULL, NULL, &stamp->subkeys, NULL, NULL,
                                 &stamp->values, NULL, NULL, NULL,
                                 &stamp->written) == ERROR_SUCCESS;
}

int SameKeyStamp(const KeyStamp& a, const KeyStamp& b)
{
    return a.ok && b.ok && a.values == b.values && a.subkeys == b.subkeys &&
           CompareFileTime(&a.written, &b.written) == 0;
}
