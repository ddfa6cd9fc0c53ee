// Version resources: the five texts of a file's StringFileInfo and the
// versions of our own programs.
#include "foundation/version_info.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "foundation/file_dates.h"
#include "foundation/name_table.h"
#include "foundation/paths.h"
#include "foundation/text.h"

// Version resources larger than this are not read (the size the system
// reports for its ANSI copy).
#define VERSION_INFO_MAX 8191
// Longest version text that is taken; a longer one counts as empty.
#define VERSION_TEXT_MAX 127

static const char* const kVersionNames[VS_COUNT] = {
    "ProductName", "ProductVersion", "CompanyName", "FileDescription", "LegalCopyright",
};

// One text of the StringFileInfo block of language/code page pair; 0 when
// it is missing, 1 with "" when it is too long, else 1 with the text.
static int QueryVersionText(void* info, WORD language, WORD codePage, const char* name,
                            char* out)
{
    out[0] = '\0';
    char query[128];
    TEXT_FORMAT(query, "\\StringFileInfo\\%04x%04x\\%s", language, codePage, name);
    void* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(info, query, &value, &length) || value == NULL)
        return 0;
    const char* text = (const char*)value;
    if (TextLength(text, VERSION_TEXT_MAX + 1) <= VERSION_TEXT_MAX)
        TextCopy(out, VS_SLOT, text);
    return 1;
}

int GetVersionStrings(const char* file, char out[VS_COUNT][VS_SLOT])
{
    for (int i = 0; i < VS_COUNT; i++)
        out[i][0] = '\0';
    if (file == NULL || file[0] == '\0')
        return 0;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &handle);
    if (size == 0 || size > VERSION_INFO_MAX)
        return 0;
    // Room for the whole resource and a little over, in case the system
    // writes its marker past the size it reported.
    char info[VERSION_INFO_MAX + 64];
    memset(info, 0, sizeof(info));
    if (!GetFileVersionInfoA(file, 0, size, info))
        return 0;

    void* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", &value, &length) || value == NULL)
        return 0;
    const WORD* pairs = (const WORD*)value;
    UINT pairCount = length / (2 * sizeof(WORD));
    for (UINT p = 0; p < pairCount; p++) {
        WORD language = pairs[2 * p];
        WORD codePage = pairs[2 * p + 1];
        char text[VS_SLOT];
        if (!QueryVersionText(info, language, codePage, kVersionNames[VS_PRODUCT_NAME], text))
            continue;
        TextCopy(out[VS_PRODUCT_NAME], VS_SLOT, text);
        for (int i = VS_PRODUCT_NAME + 1; i < VS_COUNT; i++)
            QueryVersionText(info, language, codePage, kVersionNames[i], out[i]);
    }
    // System components name the system as their product; their own
    // description says more.
    if (ContainsNoCase(out[VS_PRODUCT_NAME], "Operating System"))
        TextCopy(out[VS_PRODUCT_NAME], VS_SLOT, out[VS_FILE_DESCRIPTION]);
    return out[VS_PRODUCT_NAME][0] != '\0';
}

// The ProductVersion of the file, appended to out (VX_PATH) after prefix;
// nothing when the file does not exist.
static void AppendProductVersion(char* out, size_t outSize, const char* prefix,
                                 const char* file)
{
    char path[VX_PATH];
    TextCopy(path, file);
    if (!FileExists(path))
        return;
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(path, strings);
    TextAppend(out, outSize, prefix);
    TextAppend(out, outSize, strings[VS_PRODUCT_VERSION]);
}

int GetOwnVersionText(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    out[0] = '\0';
    char folder[VX_PATH];
    GetProgramFolder(folder);
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\Vardex.exe", folder);
    if (strlen(path) < VX_PATH)
        AppendProductVersion(out, outSize, "", path);

    char module[VX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
    if (n > 0 && n < sizeof(module) && ContainsNoCase(module + FileNameOffset(module), "hijack"))
        TextCopy(path, module);
    else
        TEXT_FORMAT(path, "%s\\VardexView.exe", folder);
    if (strlen(path) < VX_PATH)
        AppendProductVersion(out, outSize, ":", path);
    return (int)strlen(out);
}

// --- Kept version texts --------------------------------------------------------------

#define KEPT_FILES_MAX 1024

struct KeptFile {
    FileStamp stamp;
    int settled;
    KeptVersion version;
};

static KeptFile* s_keptFiles = NULL;
static int s_keptFileCount = 0, s_keptFileRoom = 0;
static NameTable s_keptFileIndex;  // the path -> slot

static void ReadKeptVersion(const char* file, KeptVersion* out)
{
    // Five 1024-character slots: too much for the stack of a patrol that
    // runs inside a window message.
    char(*strings)[VS_SLOT] = (char(*)[VS_SLOT])malloc(sizeof(char[VS_COUNT][VS_SLOT]));
    memset(out, 0, sizeof(*out));
    if (strings == NULL)
        return;
    GetVersionStrings(file, strings);
    for (int i = 0; i < VS_COUNT; i++)
        if (strings[i][0] != '\0')
            out->hasVersion = 1;
    TextCopy(out->productName, strings[VS_PRODUCT_NAME]);
    TextCopy(out->productVersion, strings[VS_PRODUCT_VERSION]);
    TextCopy(out->description, strings[VS_FILE_DESCRIPTION]);
    TextCopy(out->companyName, strings[VS_COMPANY_NAME]);
    free(strings);
}

// A slot for a file not kept yet; NULL when memory ran out.
static KeptFile* NewKeptFile(const char* file)
{
    if (s_keptFileCount >= KEPT_FILES_MAX) {
        // Start afresh rather than grow without end.
        s_keptFileCount = 0;
        NameTableFree(&s_keptFileIndex);
    }
    if (!GrowBlock(&s_keptFiles, &s_keptFileRoom, s_keptFileCount, 64))
        return NULL;
    if (!NameTablePut(&s_keptFileIndex, file, s_keptFileCount))
        return NULL;
    return &s_keptFiles[s_keptFileCount++];
}

void KeptVersionOf(const char* file, KeptVersion* out)
{
    FileStamp stamp;
    StampFile(file, &stamp);
    int slot = -1;
    KeptFile* kept = NameTableGet(&s_keptFileIndex, file, &slot) ? &s_keptFiles[slot] : NULL;
    if (kept != NULL && kept->settled && SameStamp(kept->stamp, stamp)) {
        *out = kept->version;
        return;
    }
    int settled = WrittenLongAgo(stamp.written);
    ReadKeptVersion(file, out);
    if (kept == NULL)
        kept = NewKeptFile(file);
    if (kept == NULL)
        return;
    kept->stamp = stamp;
    kept->settled = settled;
    kept->version = *out;
}
