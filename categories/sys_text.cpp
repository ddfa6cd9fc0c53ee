// The note file's name, the line ends of the restart-commands viewer, the
// contents hash and the vault copies' names.
#include "categories/sys_text.h"

#include <string.h>

#include "foundation/text.h"

static int FileNameChar(char c)
{
    return !(c == '=' || c == ':' || c == '\\' || c == '/' || c == '*' || c == '?' ||
             c == '"' || c == '<' || c == '>' || c == '|' || (unsigned char)c < 32);
}

size_t NoteFileName(const char* fileName, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (fileName == NULL || fileName[0] == '\0')
        return 0;
    size_t length = strlen(fileName);
    if (length > 4)
        length -= 4;
    char stem[260];
    TextCopyN(stem, sizeof(stem), fileName, length);
    for (char* p = stem; *p != '\0'; p++)
        if (!FileNameChar(*p))
            *p = '_';
    return TextFormat(out, outSize, "note_%s.txt", stem);
}

size_t ExpandLineEnds(const char* text, size_t length, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    size_t used = 0;
    for (size_t i = 0; i < length && text[i] != '\0'; i++) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            if (used + 2 >= outSize)
                break;
            out[used++] = '\r';
            out[used++] = '\n';
            continue;
        }
        if (used + 1 >= outSize)
            break;
        out[used++] = text[i];
    }
    out[used] = '\0';
    return used;
}

unsigned long long HashBytes(unsigned long long hash, const void* bytes, size_t length)
{
    const unsigned char* p = (const unsigned char*)bytes;
    for (size_t i = 0; i < length; i++) {
        hash ^= p[i];
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

static char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

unsigned long long HashTextNoCase(const char* text)
{
    unsigned long long hash = HASH_START;
    for (const char* p = text; *p != '\0'; p++) {
        char c = FoldAscii(*p);
        hash = HashBytes(hash, &c, 1);
    }
    return hash;
}

size_t Hex64Text(unsigned long long value, char* out, size_t outSize)
{
    return TextFormat(out, outSize, "%08lX%08lX", (unsigned long)(value >> 32),
                      (unsigned long)(value & 0xFFFFFFFFULL));
}

int ParseHex64(const char* text, unsigned long long* value)
{
    if (text == NULL || strlen(text) != 16)
        return 0;
    unsigned long long result = 0;
    for (const char* p = text; *p != '\0'; p++) {
        char c = FoldAscii(*p);
        int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (digit < 0)
            return 0;
        result = result * 16 + (unsigned long long)digit;
    }
    *value = result;
    return 1;
}

// 8 hex digits of a text's hash, case folded.
static void ShortHash(const char* text, char* out, size_t outSize)
{
    unsigned long long hash = HashTextNoCase(text);
    TextFormat(out, outSize, "%08lX", (unsigned long)((hash ^ (hash >> 32)) & 0xFFFFFFFFULL));
}

size_t HiddenCopyPath(const char* hiddenFolder, const char* path, int variant, char* out,
                      size_t outSize)
{
    TextCopy(out, outSize, "");
    const char* slash = path != NULL ? strrchr(path, '\\') : NULL;
    if (slash == NULL || slash == path || slash[1] == '\0' || variant < 1 || outSize == 0)
        return 0;
    char folder[260];
    if ((size_t)(slash - path) >= sizeof(folder))
        return 0;
    TextCopyN(folder, sizeof(folder), path, (size_t)(slash - path));
    char folderKey[16];
    ShortHash(folder, folderKey, sizeof(folderKey));
    char suffix[16] = "";
    if (variant > 1)
        TextFormat(suffix, sizeof(suffix), ".%d", variant);
    size_t limit = outSize < 260 ? outSize : 260;
    // Built in a buffer with room to spare, then taken only when whole.
    char whole[600];
    size_t length = TextFormat(whole, sizeof(whole), "%s\\%s\\%s%s", hiddenFolder, folderKey,
                               slash + 1, suffix);
    if (length >= limit || length >= sizeof(whole) - 1) {
        char nameKey[16];
        ShortHash(slash + 1, nameKey, sizeof(nameKey));
        length = TextFormat(whole, sizeof(whole), "%s\\%s\\%s%s", hiddenFolder, folderKey,
                            nameKey, suffix);
        if (length >= limit || length >= sizeof(whole) - 1)
            return 0;
    }
    return TextCopy(out, outSize, whole);
}

int PathInsideFolder(const char* path, const char* folder)
{
    if (path == NULL || folder == NULL || folder[0] == '\0')
        return 0;
    size_t length = strlen(folder);
    if (strlen(path) <= length + 1 || path[length] != '\\')
        return 0;
    for (size_t i = 0; i < length; i++)
        if (FoldAscii(path[i]) != FoldAscii(folder[i]))
            return 0;
    // Name by name after the folder: none empty, none "." or "..".
    const char* name = path + length + 1;
    for (;;) {
        const char* end = strchr(name, '\\');
        size_t size = end != NULL ? (size_t)(end - name) : strlen(name);
        if (size == 0 || (size == 1 && name[0] == '.') ||
            (size == 2 && name[0] == '.' && name[1] == '.'))
            return 0;
        for (size_t i = 0; i < size; i++)
            if (name[i] == '/' || name[i] == ':')
                return 0;
        if (end == NULL)
            return 1;
        name = end + 1;
    }
}
