#include "foundation/path_text.h"

#include <string.h>

#include "foundation/text.h"

static char UpperChar(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

int FileNameOffset(const char* path)
{
    if (path == NULL)
        return 0;
    const char* slash = strrchr(path, '\\');
    return slash != NULL ? (int)(slash - path) + 1 : 0;
}

int GetFileNamePart(const char* path, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    out[0] = '\0';
    if (path == NULL || strchr(path, '\\') == NULL)
        return 0;
    return (int)TextCopy(out, outSize, path + FileNameOffset(path));
}

void AppendBackslash(char* path)
{
    size_t n = TextLength(path, VX_PATH);
    if (n > 0 && path[n - 1] == '\\')
        return;
    TextAppendChar(path, VX_PATH, '\\');
}

void RemoveTrailingBackslash(char* path, int keepRoot)
{
    size_t n = strlen(path);
    if (n == 0 || path[n - 1] != '\\')
        return;
    if (keepRoot && n >= 2 && path[n - 2] == ':')
        return;
    path[n - 1] = '\0';
}

int PathIsInFolder(const char* path, const char* folder)
{
    if (path == NULL || folder == NULL)
        return 0;
    size_t n = strlen(folder);
    while (n > 0 && folder[n - 1] == '\\')
        n--;
    if (n == 0)
        return 0;
    // A shorter path meets its end where the folder goes on: no match.
    for (size_t i = 0; i < n; i++)
        if (UpperChar(path[i]) != UpperChar(folder[i]))
            return 0;
    return path[n] == '\0' || path[n] == '\\';
}

// Step 1: the folder a symbolic start stands for, joined with the rest of
// the command after the name.  0 when the command names neither.
static int ResolveSymbolicStart(const char* command, const char* windowsFolder,
                                const char* programFiles, char* out, size_t outSize)
{
    const char* base = NULL;
    const char* rest = NULL;
    int at = TextIndexNoCase(command, "SYSTEMROOT");
    if (at >= 0) {
        // "\SystemRoot\...", "%SystemRoot%\..." and "SystemRoot\..." all
        // mean the Windows folder.
        base = windowsFolder;
        rest = command + at + 10;
        if (*rest == '%')
            rest++;
    } else if ((at = TextIndexNoCase(command, "%PROGRAMFILES%")) >= 0) {
        base = programFiles;
        rest = command + at + 14;
    } else {
        return 0;
    }
    TextCopy(out, outSize, base);
    size_t n = strlen(out);
    int baseEndsInSlash = n > 0 && out[n - 1] == '\\';
    if (*rest == '\\' && baseEndsInSlash)
        rest++;
    else if (*rest != '\0' && *rest != '\\' && !baseEndsInSlash)
        TextAppendChar(out, outSize, '\\');
    TextAppend(out, outSize, rest);
    return 1;
}

int ExpandProgramFileText(const char* command, const char* windowsFolder,
                          const char* programFiles, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    if (command == NULL)
        return 0;

    // Work in room enough for any command line the system keeps, and cut
    // to the caller's buffer only at the end, so that a long text before
    // the drive letter cannot push the path itself out.
    char source[2048];
    if (!ResolveSymbolicStart(command, windowsFolder ? windowsFolder : "",
                              programFiles ? programFiles : "", source, sizeof(source)))
        TextCopy(source, command);

    for (size_t i = 0; source[i] != '\0'; i++) {
        if (source[i] != '.' || source[i + 1] == '\0')
            continue;
        char second = UpperChar(source[i + 2]);
        if (second == 'X' || second == 'L') {
            // The extension itself, then nothing more (arguments, closing
            // quotes).
            size_t end = i;
            while (end < i + 4 && source[end] != '\0')
                end++;
            source[end] = '\0';
            break;
        }
    }

    const char* start = source;
    const char* colon = strrchr(source, ':');
    if (colon != NULL)
        start = colon > source ? colon - 1 : colon;
    return (int)TextCopy(out, outSize, start);
}

int ExpandProgramPathText(const char* command, const char* windowsFolder,
                          const char* programFiles, char* out, size_t outSize)
{
    int n = ExpandProgramFileText(command, windowsFolder, programFiles, out, outSize);
    for (int i = 0; i < n; i++)
        out[i] = UpperChar(out[i]);
    return n;
}

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// 1 when text starts with the four characters of extension, in any case,
// and a blank or the end follows them.
static int EndsProgramAt(const char* text, const char* extension)
{
    for (int k = 0; k < 4; k++)
        if (UpperChar(text[k]) != UpperChar(extension[k]))
            return 0;
    return text[4] == '\0' || IsBlank(text[4]);
}

// The length of the unquoted program at the start of text.
static size_t UnquotedProgramLength(const char* text)
{
    // The extensions Windows runs a program file by.
    static const char* const kRunnable[] = { ".EXE", ".COM", ".BAT", ".CMD", ".SCR", ".PIF" };
    for (size_t i = 0; text[i] != '\0'; i++) {
        if (text[i] != '.')
            continue;
        for (const char* extension : kRunnable)
            if (EndsProgramAt(text + i, extension))
                return i + 4;
    }
    size_t n = 0;
    while (text[n] != '\0' && !IsBlank(text[n]))
        n++;
    return n;
}

int SplitCommand(const char* command, char* program, size_t programSize, char* arguments,
                 size_t argumentsSize)
{
    if (programSize > 0)
        program[0] = '\0';
    if (argumentsSize > 0)
        arguments[0] = '\0';
    if (command == NULL)
        return 0;
    while (IsBlank(*command))
        command++;
    const char* rest;
    if (*command == '"') {
        const char* start = command + 1;
        const char* close = strchr(start, '"');
        size_t length = close != NULL ? (size_t)(close - start) : strlen(start);
        TextCopyN(program, programSize, start, length);
        rest = close != NULL ? close + 1 : start + length;
    } else {
        size_t length = UnquotedProgramLength(command);
        TextCopyN(program, programSize, command, length);
        rest = command + length;
    }
    while (IsBlank(*rest))
        rest++;
    size_t length = strlen(rest);
    while (length > 0 && IsBlank(rest[length - 1]))
        length--;
    TextCopyN(arguments, argumentsSize, rest, length);
    return programSize > 0 ? (int)strlen(program) : 0;
}

int CommandComparableText(const char* program, const char* arguments, char* out,
                          size_t outSize)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    const char* name = program != NULL ? program : "";
    for (const char* p = name; *p != '\0'; p++)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    size_t n = 0;
    for (const char* p = name; *p != '\0'; p++)
        if (*p != '"')
            n = TextAppendChar(out, outSize, *p == '=' ? ':' : *p);
    if (arguments != NULL && arguments[0] != '\0') {
        n = TextAppendChar(out, outSize, ' ');
        for (const char* p = arguments; *p != '\0'; p++)
            if (*p != '"')
                n = TextAppendChar(out, outSize, *p == '=' ? ':' : *p);
    }
    return (int)n;
}

int RundllTarget(const char* command, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    int at = TextIndexNoCase(command, "RUNDLL32.EXE");
    if (at < 0) {
        TextCopy(out, outSize, command);
        return 0;
    }
    const char* after = command + at + 12;
    if (*after != '\0')
        after++;
    TextCopy(out, outSize, after);
    return 1;
}

int ContainsNoCase(const char* text, const char* part)
{
    if (text == NULL || part == NULL || TextLength(text, 773) > 772)
        return 0;
    return TextFindNoCase(text, part);
}

void SkipBlanks(const char* text, char* out, int outSize)
{
    if (outSize <= 0)
        return;
    while (text != NULL && *text == ' ')
        text++;
    TextCopy(out, (size_t)outSize, text);
}

void ExtensionOf(const char* text, char* out, int outSize)
{
    if (outSize <= 0)
        return;
    const char* dot = text != NULL ? strchr(text, '.') : NULL;
    TextCopy(out, (size_t)outSize, dot != NULL ? dot + 1 : "");
}

void EqualsToColon(const char* text, char* out, int outSize)
{
    if (outSize <= 0)
        return;
    size_t n = TextCopy(out, (size_t)outSize, text);
    for (size_t i = 0; i < n; i++)
        if (out[i] == '=')
            out[i] = ':';
}

void StripQuotes(const char* text, char* out, int outSize)
{
    if (outSize <= 0)
        return;
    out[0] = '\0';
    for (; text != NULL && *text != '\0'; text++)
        if (*text != '"' && TextAppendChar(out, (size_t)outSize, *text) >= (size_t)outSize - 1)
            break;
}

void UrlSpaces(const char* text, char* out, int outSize)
{
    if (outSize <= 0)
        return;
    out[0] = '\0';
    size_t n = 0;
    for (; text != NULL && *text != '\0'; text++) {
        if (*text == ' ') {
            if (n + 3 > (size_t)outSize - 1)
                break;
            n = TextAppend(out, (size_t)outSize, "%20");
        } else {
            if (n + 1 > (size_t)outSize - 1)
                break;
            n = TextAppendChar(out, (size_t)outSize, *text == '&' ? '+' : *text);
        }
    }
}

int QuoteAddress(const char* address, char* out, size_t outSize)
{
    out[0] = '\0';
    if (address == NULL)
        return 0;
    size_t length = TextLength(address, outSize);
    if (length == 0 || strchr(address, '"') != NULL || length + 3 > outSize)
        return 0;
    TextCopy(out, outSize, "\"");
    TextAppend(out, outSize, address);
    TextAppend(out, outSize, "\"");
    return (int)length + 2;
}
