#include "foundation/language.h"

#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"

HINSTANCE g_TextModule = NULL;
WORD g_MessageLanguage = 0;

static const int kOverrideMax = 771;

static HINSTANCE TextModule()
{
    return g_TextModule != NULL ? g_TextModule : GetModuleHandleA(NULL);
}

// Loads text id of the string table.  LoadStringA cannot report a length
// without a buffer, so the length is taken from the resource itself.
static int LoadTableText(int id, char* out, int outSize)
{
    if (outSize > 0)
        return LoadStringA(TextModule(), (UINT)id, out, outSize);
    char whole[4096];
    return LoadStringA(TextModule(), (UINT)id, whole, sizeof(whole));
}

int LoadText(int id, char* out, int outSize)
{
    if (out != NULL && outSize > 0)
        out[0] = '\0';

    if (g_MessageLanguage != 9) {
        char name[32];
        char text[kOverrideMax + 1];
        TEXT_FORMAT(name, "LString%d", id);
        if (RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, name, text, sizeof(text)) > 0) {
            size_t keep = kOverrideMax;
            if (outSize > 0 && (size_t)outSize - 1 < keep)
                keep = (size_t)outSize - 1;
            size_t length = TextCut(text, keep);
            if (out == NULL || outSize <= 0)
                return (int)length;
            size_t o = 0;
            for (size_t i = 0; i < length; i++) {
                if (text[i] == '%' && text[i + 1] == 'n') {
                    out[o++] = '\n';
                    i++;
                } else {
                    out[o++] = text[i];
                }
            }
            out[o] = '\0';
            return (int)length;
        }
    }
    if (out == NULL && outSize > 0)
        return 0;
    return LoadTableText(id, out, outSize);
}

void SetItemText(HWND dialog, int id, int controlId)
{
    char text[512];
    if (LoadText(id, text, sizeof(text)) > 0)
        SetDlgItemTextA(dialog, controlId, text);
}

struct LanguageCode {
    const char* code;
    WORD language;
};

static const LanguageCode s_languageCodes[] = {
    { "us", 9 }, { "de", 7 }, { "fr", 12 }, { "es", 10 }, { "it", 16 }, { "se", 29 },
    { "\xEA\xE0\xEA", 25 }, { "ru", 25 }, { "pt", 22 }, { "pl", 21 }, { "no", 20 },
    { "gr", 8 }, { "nl", 19 }, { "br", 22 }, { "sq", 28 }, { "tr", 31 }, { "ar", 1 },
    { "fi", 11 }, { "cn", 4 },
};

WORD LanguageIdForCode(const char* code)
{
    for (const LanguageCode& entry : s_languageCodes)
        if (TextEqualNoCase(code, entry.code))
            return entry.language;
    return 0;
}

void SetMessageLanguage()
{
    char code[8];
    LoadText(TXT_LANGUAGE_CODE, code, sizeof(code));
    g_MessageLanguage = LanguageIdForCode(code);
}

const char* ProductCaption()
{
    static char caption[32];
    if (caption[0] == '\0')
        LoadText(TXT_CAPTION, caption, sizeof(caption));
    return caption;
}

void ResetLanguageAndLayout()
{
    for (int n = 0; n <= 1165; n++) {
        char name[32];
        TEXT_FORMAT(name, "LString%d", n);
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_KEY, name);
    }
    static const char* const geometry[] = {
        "xPos", "yPos", "dxPos", "dyPos",
        "xPosAlert", "yPosAlert", "dxAlert", "dyAlert",
        "xInfo", "yInfo", "dxInfo", "dyInfo",
        "xPosSysFiles", "yPosSysFiles", "dxSysFiles", "dySysFiles",
        "xCookie", "yCookie", "dxCookie", "dyCookie",
        "xDefaultWarning", "yDefaultWarning", "dxDefaultWarning", "dyDefaultWarning",
        "xPosAddFileType", "yPosAddFileType", "dxPosAddFileType", "dyPosAddFileType",
    };
    for (const char* name : geometry)
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_KEY, name);
}

size_t SystemErrorText(DWORD code, char* out, size_t outSize)
{
    char message[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             code, 0, message, sizeof(message), NULL);
    if (n == 0 || n >= sizeof(message))
        message[0] = '\0';
    return TextFormat(out, outSize, "%lu  %s", (unsigned long)code, message);
}
