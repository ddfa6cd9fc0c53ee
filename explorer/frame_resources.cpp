#include "explorer/frame_resources.h"

#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "foundation/options.h"
#include "foundation/text.h"

static HFONT s_fonts[XFONT_COUNT];

static const int kBitmapIds[] = { 133, 134, 135, 154, 155, 156, 193, 158, 159, 160 };
static HBITMAP s_bitmaps[sizeof(kBitmapIds) / sizeof(kBitmapIds[0])];

static HFONT MakeFont(int height, int weight, int underline, const char* face)
{
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

// "NoteFont" (a face name, "Arial" when absent or too long for one) at
// "NoteSize" pixels; a size outside 6 to 72 counts as the default 14.
static HFONT MakeNoteFont()
{
    char face[LF_FACESIZE];
    if (RegReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "NoteFont", face, sizeof(face)) == 0)
        TextCopy(face, "Arial");
    int size = OptionRead("NoteSize", 14);
    if (size < 6 || size > 72)
        size = 14;
    return MakeFont(size, 500, 0, face);
}

int CreateFrameResources()
{
    s_fonts[XFONT_TITLE] = MakeFont(18, 600, 0, "Verdana");
    s_fonts[XFONT_HEADING] = MakeFont(18, 500, 0, "Arial");
    s_fonts[XFONT_LINK] = MakeFont(18, 500, 1, "Arial");
    s_fonts[XFONT_BOLD] = MakeFont(14, 600, 0, "MS Sans Serif");
    s_fonts[XFONT_SMALL_BOLD] = MakeFont(10, 600, 0, "MS Sans Serif");
    s_fonts[XFONT_TEXT] = MakeFont(14, 400, 0, "Arial");
    s_fonts[XFONT_LABEL] = MakeFont(12, 500, 0, "MS Sans Serif");
    s_fonts[XFONT_NOTE_MARK] = MakeFont(14, 700, 0, "MS Shell Dlg");
    s_fonts[XFONT_CAPTION] = MakeFont(14, 500, 0, "MS Shell Dlg");
    s_fonts[XFONT_NOTE] = MakeNoteFont();
    int made = 1;
    for (HFONT font : s_fonts)
        made = made && font != NULL;
    for (size_t i = 0; i < sizeof(kBitmapIds) / sizeof(kBitmapIds[0]); i++) {
        s_bitmaps[i] = LoadBitmapA(g_Instance, MAKEINTRESOURCEA(kBitmapIds[i]));
        made = made && s_bitmaps[i] != NULL;
    }
    return made;
}

void FreeFrameResources()
{
    for (HFONT& font : s_fonts) {
        if (font != NULL)
            DeleteObject(font);
        font = NULL;
    }
    for (HBITMAP& bitmap : s_bitmaps) {
        if (bitmap != NULL)
            DeleteObject(bitmap);
        bitmap = NULL;
    }
}

HBITMAP FrameBitmap(int id)
{
    for (size_t i = 0; i < sizeof(kBitmapIds) / sizeof(kBitmapIds[0]); i++)
        if (kBitmapIds[i] == id)
            return s_bitmaps[i];
    return NULL;
}

HFONT ExplorerFontOf(ExplorerFont font)
{
    return font >= 0 && font < XFONT_COUNT ? s_fonts[font] : NULL;
}
