#include "categories/filetype_text.h"

#include <string.h>

#include "foundation/text.h"

// The codes the shell replaces in an open command: %0-%9, %* and the
// letters of the long-name, item, directory and window forms.
static int IsPlaceholderCode(char c)
{
    return (c >= '0' && c <= '9') || (c != '\0' && strchr("*LlSsIiDdVvWwHh", c) != NULL);
}

static int IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '_';
}

// 1 when text starts with a placeholder: "%" and a code that does not go
// on into a name ("%SystemRoot%" is a variable, not "%S").
static int AtPlaceholder(const char* text)
{
    return text[0] == '%' && IsPlaceholderCode(text[1]) &&
           !(IsNameCharacter(text[1]) && IsNameCharacter(text[2]));
}

// The length of the placeholders text starts with.
static size_t SkipPlaceholders(const char* text)
{
    size_t n = 0;
    for (;;) {
        if (AtPlaceholder(text + n))
            n += 2;
        else
            return n;
    }
}

size_t CommandWithoutPlaceholders(const char* command, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    if (command == NULL)
        return 0;
    int quoted = 0, blankOwed = 0;
    for (const char* p = command; *p != '\0';) {
        if (AtPlaceholder(p)) {
            p += 2;
            continue;
        }
        // A quoted argument that holds nothing but placeholders: all of it.
        if (!quoted && *p == '"' && p[1 + SkipPlaceholders(p + 1)] == '"' &&
            SkipPlaceholders(p + 1) > 0) {
            p += 2 + SkipPlaceholders(p + 1);
            continue;
        }
        if (!quoted && (*p == ' ' || *p == '\t')) {
            blankOwed = out[0] != '\0';
            p++;
            continue;
        }
        if (blankOwed)
            TextAppendChar(out, outSize, ' ');
        blankOwed = 0;
        if (*p == '"')
            quoted = !quoted;
        TextAppendChar(out, outSize, *p);
        p++;
    }
    return strlen(out);
}
