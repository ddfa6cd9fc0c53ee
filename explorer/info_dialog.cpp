// The program information dialog (template 121): version texts, dates and
// size of an item's program file, where it starts from, whether it runs,
// and the user's note.  The dialog walks the page's own rows (<< and >>),
// so every text comes from the record and the facts the page already made.
#include "explorer/info_dialog.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "categories/restart_commands.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/note_text.h"
#include "foundation/file_dates.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/paths.h"
#include "foundation/lookup.h"
#include "foundation/placement.h"
#include "foundation/processes.h"
#include "foundation/text.h"
#include "foundation/text_fill.h"
#include "foundation/version_info.h"
#include "resources/pages/info.h"

// Type codes with texts of their own.
enum {
    CODE_HOOKS_FIRST = 250, CODE_HOOKS_LAST = 256, CODE_HIDDEN = 370, CODE_FILE_TYPE = 400,
    CODE_TASK = 600, CODE_SCHEDULED = 800, CODE_HELPER = 900, CODE_TOOLBAR = 901,
    CODE_EXTENSION = 902, CODE_ACTIVEX = 1200,
};

// Shown once the dialog is up: the notice of a note too large to save.
#define WM_INFO_NOTICE (WM_APP + 1)

struct InfoDialog {
    ListPage* Page;
    int Index;            // the record shown
    const PageRow* Row;
    int StartType;        // the start type shown (0 automatic ... 2 disabled)
    int NoteMode;         // the field holds the user's note: Save writes it
    int NoteLocked;       // the note is there but cannot be saved from here
    int Filling;          // field changes are the dialog's own
    int Changed;          // a service or program was changed: the page refills
    char NoteFile[VX_PATH];
};

// Expanded or shrunk: flipped by every new dialog and every press, so a
// dialog opens the other way from the one the last was left in.
static int s_expanded;

static const PlacementNames kPlacement = { "xInfo", "yInfo", "dxInfo", "dyInfo" };

// --- Small helpers -------------------------------------------------------------------

static void Show(HWND dialog, int id, int shown)
{
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

static void SetText(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
}

static void SetNumberedText(HWND dialog, int id, int textId)
{
    char text[512];
    LoadText(textId, text, sizeof(text));
    SetDlgItemTextA(dialog, id, text);
}

static void SetFieldFont(HWND dialog, int noteFont)
{
    HFONT font = noteFont ? ExplorerFontOf(XFONT_NOTE) : NULL;
    if (font == NULL)
        font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    SendDlgItemMessageA(dialog, IDC_INFO_NOTE, WM_SETFONT, (WPARAM)font, TRUE);
}

static void SetReadOnly(HWND dialog, int readOnly)
{
    SendDlgItemMessageA(dialog, IDC_INFO_NOTE, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

static int IsService(int code)
{
    return code == SERVICE_CODE_EXE || code == SERVICE_CODE_SVCHOST;
}

// --- The note ------------------------------------------------------------------------

enum NoteLoad { NOTE_NONE, NOTE_LOADED, NOTE_LOCKED };

// Loads the note file into the field: whole up to NOTE_MAX_BYTES, and
// then writable; of a longer one the beginning, and like one that cannot
// be read it stays locked (a save would cut it, a create overwrite it).
static NoteLoad LoadNote(HWND dialog, const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NOTE_NONE;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    LARGE_INTEGER size;
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size))
        return NOTE_LOCKED;
    DWORD wanted = size.QuadPart > NOTE_MAX_BYTES ? NOTE_SHOWN_BYTES : (DWORD)size.QuadPart;
    char* bytes = (char*)malloc(wanted + 1);
    char* text = (char*)malloc(NoteFieldRoom(wanted));
    DWORD read = 0;
    NoteLoad result = NOTE_LOCKED;
    if (bytes != NULL && text != NULL &&
        (wanted == 0 || ReadFile(file.Get(), bytes, wanted, &read, NULL)) && read == wanted) {
        size_t length = NoteFieldText(bytes, read, text, NoteFieldRoom(wanted));
        // Typing may go on to the cap; a loaded text beyond it stays whole.
        SendDlgItemMessageA(dialog, IDC_INFO_NOTE, EM_SETLIMITTEXT,
                            length > NOTE_MAX_BYTES ? length : NOTE_MAX_BYTES, 0);
        SetText(dialog, IDC_INFO_NOTE, text);
        result = size.QuadPart > NOTE_MAX_BYTES ? NOTE_LOCKED : NOTE_LOADED;
    }
    free(bytes);
    free(text);
    return result;
}

// Writes the field's text over the note file (created when missing).
// 1 when all of it was written.
static int WriteNote(HWND dialog, const char* path)
{
    if (path[0] == '\0')
        return 0;
    HWND field = GetDlgItem(dialog, IDC_INFO_NOTE);
    int length = GetWindowTextLengthA(field);
    char* text = (char*)malloc((size_t)length + 1);
    if (text == NULL)
        return 0;
    int got = GetWindowTextA(field, text, length + 1);
    int written = 0;
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_ARCHIVE, NULL));
    DWORD done = 0;
    if (file.IsValid() && (got == 0 || WriteFile(file.Get(), text, (DWORD)got, &done, NULL)) &&
        done == (DWORD)got)
        written = 1;
    free(text);
    return written;
}

// Create Note turns the field into the note (the item's name and path to
// begin with); Save Note writes the field as it stands.  A failure is told
// and the text stays, to be saved again.
static void OnSaveNote(HWND dialog, InfoDialog* info)
{
    if (info->NoteLocked)
        return;
    const ItemRecord* item = info->Row->Item;
    HWND field = GetDlgItem(dialog, IDC_INFO_NOTE);
    if (!info->NoteMode) {
        info->NoteMode = 1;
        SetReadOnly(dialog, 0);
        SetNumberedText(dialog, IDC_INFO_SAVE_NOTE, IDS_INFO_SAVE_NOTE);
        SetFieldFont(dialog, 1);
        char start[ITEM_NAME + VX_PATH + 8];
        TEXT_FORMAT(start, "%s\r\n%s\r\n", item->Name, info->Row->Program);
        info->Filling = 1;
        SendMessageA(field, EM_SETLIMITTEXT, NOTE_MAX_BYTES, 0);
        SetWindowTextA(field, start);
        info->Filling = 0;
    }
    if (info->NoteFile[0] == '\0') {
        PageMessage(dialog, IDS_INFO_NO_NOTE_NAME, item->Command, MB_OK | MB_ICONEXCLAMATION);
    } else if (WriteNote(dialog, info->NoteFile)) {
        EnableWindow(GetDlgItem(dialog, IDC_INFO_SAVE_NOTE), FALSE);
        SendMessageA(field, EM_SETMODIFY, FALSE, 0);
    } else {
        PageMessage(dialog, IDS_INFO_NOTE_NOT_SAVED, info->NoteFile, MB_OK | MB_ICONEXCLAMATION);
    }
    SetFocus(field);
}

// The note of the item, else its Info, else the explanation (text 647).
static void ShowNote(HWND dialog, InfoDialog* info)
{
    const ItemRecord* item = info->Row->Item;
    info->NoteMode = info->NoteLocked = 0;
    SetNumberedText(dialog, IDC_INFO_SAVE_NOTE, IDS_INFO_CREATE_NOTE);
    EnableWindow(GetDlgItem(dialog, IDC_INFO_SAVE_NOTE), TRUE);
    SetReadOnly(dialog, 1);
    SetFieldFont(dialog, 0);
    SendDlgItemMessageA(dialog, IDC_INFO_NOTE, EM_SETLIMITTEXT, NOTE_MAX_BYTES, 0);
    if (NotePath(item->Command, info->NoteFile) == 0)
        info->NoteFile[0] = '\0';
    NoteLoad load = info->NoteFile[0] != '\0' ? LoadNote(dialog, info->NoteFile) : NOTE_NONE;
    if (load == NOTE_LOADED) {
        info->NoteMode = 1;
        SetReadOnly(dialog, 0);
        SetNumberedText(dialog, IDC_INFO_SAVE_NOTE, IDS_INFO_SAVE_NOTE);
        SetFieldFont(dialog, 1);
    } else if (load == NOTE_LOCKED) {
        info->NoteLocked = 1;
        EnableWindow(GetDlgItem(dialog, IDC_INFO_SAVE_NOTE), FALSE);
        SetFieldFont(dialog, 1);
        PostMessageA(dialog, WM_INFO_NOTICE, 0, 0);
    } else if (item->Info[0] != '\0') {
        SetText(dialog, IDC_INFO_NOTE, item->Info);
    } else {
        SetNumberedText(dialog, IDC_INFO_NOTE, IDS_INFO_EXPLAIN);
    }
}

// --- Filling -------------------------------------------------------------------------

static void ShowIcon(HWND dialog, const PageRow* row)
{
    const ItemRecord* item = row->Item;
    HICON icon = NULL;
    // An extension's Info names its icon file; a toolbar's Info is its
    // version, so its icon comes from its own file.
    if (item->Code == CODE_EXTENSION && item->Info[0] != '\0') {
        char file[VX_PATH];
        ExpandProgramPath(item->Info, file);
        icon = ExtractIconA(g_Instance, file, 0);
    }
    if ((icon == NULL || icon == (HICON)1) && row->Exists)
        icon = ExtractIconA(g_Instance, row->File, 0);
    if (icon == (HICON)1)
        icon = NULL;
    HICON old = (HICON)SendDlgItemMessageA(dialog, IDC_INFO_ICON, BM_SETIMAGE, IMAGE_ICON,
                                           (LPARAM)icon);
    if (old != NULL && old != icon)
        DestroyIcon(old);
}

static void FillStartTypes(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_INFO_START_TYPE);
    if (SendMessageA(list, CB_GETCOUNT, 0, 0) > 0)
        return;
    const int texts[] = { TXT_SERVICE_AUTOMATIC, TXT_SERVICE_MANUAL, TXT_SERVICE_DISABLED };
    for (int id : texts) {
        char text[64];
        LoadText(id, text, sizeof(text));
        SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
    }
}

// The location line: "Startup Location: " and the place of the entry.
static void ShowStartupPlace(HWND dialog, const PageRow* row)
{
    char text[512];
    LoadText(IDS_INFO_STARTUP_PLACE, text, sizeof(text));
    char place[320];
    RowPlaceText(row, place, sizeof(place));
    TextAppend(text, place);
    SetText(dialog, IDC_INFO_LOCATION, text);
}

static void ShowProgramState(HWND dialog, const PageRow* row)
{
    SetNumberedText(dialog, IDC_INFO_STOP, IDS_INFO_KILL);
    int code = row->Item->Code;
    if (code >= CODE_HELPER) {
        Show(dialog, IDC_INFO_STATUS_LABEL, 0);
        Show(dialog, IDC_INFO_STATUS, 0);
        return;
    }
    int textId = IDS_INFO_NOT_FOUND;
    if (row->Exists && FindProcessByFile(row->Program) != 0) {
        textId = IDS_INFO_RUNNING;
        Show(dialog, IDC_INFO_STOP, 1);
        EnableWindow(GetDlgItem(dialog, IDC_INFO_STOP), TRUE);
    } else if (row->Exists) {
        textId = IDS_INFO_READY;
        Show(dialog, IDC_INFO_RUN, 1);
    }
    SetNumberedText(dialog, IDC_INFO_STATUS, textId);
}

static void ShowServiceState(HWND dialog, InfoDialog* info)
{
    const ItemRecord* item = info->Row->Item;
    SetNumberedText(dialog, IDC_INFO_STOP, IDS_INFO_STOP);
    FillStartTypes(dialog);
    if (item->Extra[0] == '\0') {
        SetText(dialog, IDC_INFO_LOCATION, "");
        Show(dialog, IDC_INFO_STATUS_LABEL, 0);
        Show(dialog, IDC_INFO_STATUS, 0);
        return;
    }
    Show(dialog, IDC_INFO_LOCATION, 0);
    Show(dialog, IDC_INFO_STOP, 1);
    Show(dialog, IDC_INFO_APPLY, 1);
    Show(dialog, IDC_INFO_START_LABEL, 1);
    Show(dialog, IDC_INFO_START_TYPE, 1);
    HWND list = GetDlgItem(dialog, IDC_INFO_START_TYPE);
    int at = (int)SendMessageA(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)item->Extra);
    SendMessageA(list, CB_SETCURSEL, (WPARAM)at, 0);
    info->StartType = at;
    char state[128];
    int running = ServiceStateText(item->Name, state);
    SetText(dialog, IDC_INFO_STATUS, state);
    int stoppable = running != 0 && (ServiceControlsAccepted(item->Name) & SERVICE_ACCEPT_STOP);
    EnableWindow(GetDlgItem(dialog, IDC_INFO_STOP), stoppable ? TRUE : FALSE);
}

static void ShowFileFacts(HWND dialog, const PageRow* row)
{
    char strings[VS_COUNT][VS_SLOT];
    FileFactsRecord facts;
    memset(strings, 0, sizeof(strings));
    memset(&facts, 0, sizeof(facts));
    if (row->Exists) {
        GetVersionStrings(row->File, strings);
        if (FileTimesAndSize(row->File, &facts))
            TextCopy(facts.detected, row->Detected);
    }
    const char* description = strings[VS_FILE_DESCRIPTION];
    SetText(dialog, IDC_INFO_TITLE, description[0] != '\0' ? description : row->Item->Name);
    SetText(dialog, IDC_INFO_PRODUCT, strings[VS_PRODUCT_NAME]);
    SetText(dialog, IDC_INFO_COMPANY, strings[VS_COMPANY_NAME]);
    SetText(dialog, IDC_INFO_VERSION, strings[VS_PRODUCT_VERSION]);
    SetText(dialog, IDC_INFO_COPYRIGHT, strings[VS_LEGAL_COPYRIGHT]);
    SetText(dialog, IDC_INFO_CREATED, facts.created);
    SetText(dialog, IDC_INFO_WRITTEN, facts.written);
    SetText(dialog, IDC_INFO_SIZE, facts.size);
    SetText(dialog, IDC_INFO_DETECTED, facts.detected);
}

static const char* HelperKey(int code)
{
    switch (code) {
    case CODE_HELPER:
        return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
    case CODE_TOOLBAR: return "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
    default: return "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
    }
}

// What each kind tells besides the common facts; the note field only
// when no note of the user's is shown.
static void ShowKindTexts(HWND dialog, InfoDialog* info)
{
    const ItemRecord* item = info->Row->Item;
    int code = item->Code;
    int noteFree = !info->NoteMode && !info->NoteLocked;
    char text[2048];
    if (code >= CODE_HOOKS_FIRST && code <= CODE_HOOKS_LAST) {
        Show(dialog, IDC_INFO_RUN, 0);
        Show(dialog, IDC_INFO_STOP, 0);
        if (!noteFree)
            return;
        char company[KEPT_VERSION_TEXT];
        GetDlgItemTextA(dialog, IDC_INFO_COMPANY, company, sizeof(company));
        text[0] = '\0';
        if (TextFindNoCase(company, "Microsoft") && company[0] != '\0') {
            char pattern[512];
            LoadText(IDS_INFO_MICROSOFT, pattern, sizeof(pattern));
            const char* name = item->Name;
            TextFill(text, sizeof(text), pattern, &name, 1);
        }
        char explain[1024];
        LoadText(IDS_INFO_EXPLAIN, explain, sizeof(explain));
        TextAppend(text, explain);
        SetText(dialog, IDC_INFO_NOTE, text);
        SetFieldFont(dialog, 1);
    } else if (code == CODE_HIDDEN) {
        Show(dialog, IDC_INFO_STATUS_LABEL, 0);
        Show(dialog, IDC_INFO_STATUS, 0);
        Show(dialog, IDC_INFO_RUN, 0);
        Show(dialog, IDC_INFO_STOP, 0);
    } else if (code == CODE_FILE_TYPE) {
        SetText(dialog, IDC_INFO_LOCATION, "");
        if (noteFree) {
            LoadText(IDS_INFO_FILE_TYPE, text, sizeof(text));
            TextAppend(text, item->Info);
            SetText(dialog, IDC_INFO_NOTE, text);
        }
    } else if (code == CODE_TASK) {
        SetText(dialog, IDC_INFO_LOCATION, "");
    } else if (code == CODE_SCHEDULED) {
        if (noteFree) {
            char comment[1024], status[256];
            GetTaskComment(item->Name, comment, sizeof(comment));
            GetTaskStatusText(item->Name, status, sizeof(status));
            TEXT_FORMAT(text, "%s\r\n%s", comment, status);
            SetText(dialog, IDC_INFO_NOTE, text);
        }
    } else if (code >= CODE_HELPER && code <= CODE_EXTENSION) {
        if (noteFree)
            SetNumberedText(dialog, IDC_INFO_NOTE, IDS_INFO_EXPLAIN);
        LoadText(IDS_INFO_LOCATION, text, sizeof(text));
        TEXT_APPEND_FORMAT(text, ": \"HKLM\\%s\"", HelperKey(code));
        SetText(dialog, IDC_INFO_LOCATION, text);
    } else if (code == CODE_ACTIVEX) {
        Show(dialog, IDC_INFO_STATUS_LABEL, 0);
        Show(dialog, IDC_INFO_STATUS, 0);
        Show(dialog, IDC_INFO_RUN, 0);
        Show(dialog, IDC_INFO_STOP, 0);
        LoadText(IDS_INFO_CLSID, text, sizeof(text));
        TEXT_APPEND_FORMAT(text, ": %s", item->Extra);
        SetText(dialog, IDC_INFO_LOCATION, text);
        if (noteFree)
            SetText(dialog, IDC_INFO_NOTE, item->Extra);
    }
}

static void FillDialog(HWND dialog, InfoDialog* info)
{
    HCURSOR cursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    info->Filling = 1;
    info->Row = RowOfRecord(info->Page, info->Index);
    const PageRow* row = info->Row;
    const ItemRecord* item = row->Item;
    EnableWindow(GetDlgItem(dialog, IDC_INFO_APPLY), FALSE);
    const int hidden[] = { IDC_INFO_START_LABEL, IDC_INFO_START_TYPE, IDC_INFO_APPLY,
                           IDC_INFO_RUN, IDC_INFO_STOP };
    for (int id : hidden)
        Show(dialog, id, 0);
    const int shown[] = { IDC_INFO_LOCATION, IDC_INFO_STATUS_LABEL, IDC_INFO_STATUS };
    for (int id : shown)
        Show(dialog, id, 1);
    SetText(dialog, IDC_INFO_STATUS, "");
    SetWindowTextA(dialog, item->Name);
    SetText(dialog, IDC_INFO_PATH, row->Program);
    ShowIcon(dialog, row);
    if (IsService(item->Code)) {
        ShowServiceState(dialog, info);
    } else {
        ShowStartupPlace(dialog, row);
        ShowProgramState(dialog, row);
    }
    if (!row->Exists)
        SetNumberedText(dialog, IDC_INFO_STATUS, IDS_INFO_NOT_FOUND);
    ShowFileFacts(dialog, row);
    ShowNote(dialog, info);
    ShowKindTexts(dialog, info);
    info->Filling = 0;
    if (info->NoteMode) {
        HWND field = GetDlgItem(dialog, IDC_INFO_NOTE);
        SetFocus(field);
        int end = GetWindowTextLengthA(field);
        SendMessageA(field, EM_SETSEL, (WPARAM)end, (LPARAM)end);
    }
    SetCursor(cursor);
}

// --- Expand and shrink ---------------------------------------------------------------

static void ExpandOrShrink(HWND dialog)
{
    s_expanded = !s_expanded;
    HDC screen = GetDC(NULL);
    int dpi = screen != NULL ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != NULL)
        ReleaseDC(NULL, screen);
    RECT box;
    GetWindowRect(dialog, &box);
    SetWindowPos(dialog, NULL, 0, 0, box.right - box.left, (s_expanded ? 421 : 246) * dpi / 96,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int buttons[] = { IDC_INFO_PLUS, IDC_INFO_EXPAND, IDC_INFO_SAVE_NOTE,
                            IDC_INFO_PREVIOUS, IDC_INFO_NEXT, IDOK };
    const int lefts[] = { 7, 88, 169, 267, 301, 348 };
    int top = (s_expanded ? 350 : 185) * dpi / 96;
    for (size_t i = 0; i < sizeof(buttons) / sizeof(buttons[0]); i++) {
        RECT at = { lefts[i], 0, 0, 0 };
        MapDialogRect(dialog, &at);
        SetWindowPos(GetDlgItem(dialog, buttons[i]), NULL, at.left, top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int expandedOnly[] = { IDC_INFO_NOTE, IDC_INFO_CREATED_LABEL, IDC_INFO_CREATED,
                                 IDC_INFO_WRITTEN_LABEL, IDC_INFO_WRITTEN, IDC_INFO_SIZE_LABEL,
                                 IDC_INFO_SIZE, IDC_INFO_DETECTED_LABEL, IDC_INFO_DETECTED,
                                 IDC_INFO_SAVE_NOTE };
    for (int id : expandedOnly)
        Show(dialog, id, s_expanded);
    SetNumberedText(dialog, IDC_INFO_EXPAND, s_expanded ? IDS_INFO_SHRINK : IDS_INFO_EXPAND);
    RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// --- Buttons -------------------------------------------------------------------------

static void OnStop(HWND dialog, InfoDialog* info)
{
    const ItemRecord* item = info->Row->Item;
    if (IsService(item->Code)) {
        if (ControlServiceByTitle(item->Name, SERVICE_CONTROL_STOP)) {
            WriteHistory(item->Name, item->Command, "", item->Code, HA_SERVICE_STOP);
            info->Changed = 1;
            Sleep(100);
        } else {
            PageMessage(dialog, IDS_INFO_STOP_FAILED, item->Name, MB_OK | MB_ICONEXCLAMATION);
        }
    } else if (EndProcessOfFile(info->Row->Program, item->Name)) {
        info->Changed = 1;
    } else {
        PageMessage(dialog, IDS_INFO_KILL_FAILED, info->Row->Program, MB_OK | MB_ICONEXCLAMATION);
    }
    FillDialog(dialog, info);
}

// Runs the program file alone, named apart from any command line, so a
// path with blanks can only start that file.
static void OnRun(HWND dialog, InfoDialog* info)
{
    const char* program = info->Row->Program;
    char folder[VX_PATH];
    TextCopy(folder, program);
    folder[FileNameOffset(folder)] = '\0';
    char command[VX_PATH + 2];
    TEXT_FORMAT(command, "\"%s\"", program);
    STARTUPINFOA start;
    ZeroMemory(&start, sizeof(start));
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESHOWWINDOW;
    start.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program, command, NULL, NULL, FALSE, 0, NULL,
                        folder[0] != '\0' ? folder : NULL, &start, &process)) {
        PageMessage(dialog, IDS_INFO_RUN_FAILED, program, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The history tells the state the service was in and the type it got,
// and only once the type is set.
static void OnApply(HWND dialog, InfoDialog* info)
{
    const ItemRecord* item = info->Row->Item;
    int chosen = (int)SendDlgItemMessageA(dialog, IDC_INFO_START_TYPE, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || chosen > 2)
        return;
    int from = 0;
    switch (QueryServiceState(item->Name) >> 16) {
    case SERVICE_START_PENDING: from = HA_SERVICE_FROM_MANUAL; break;
    case SERVICE_STOP_PENDING: from = HA_SERVICE_FROM_DISABLED; break;
    case SERVICE_RUNNING: from = HA_SERVICE_FROM_DISABLED2; break;
    default: break;
    }
    if (!SetServiceStartType(item->Name, chosen + SERVICE_AUTO_START)) {
        PageMessage(dialog, IDS_INFO_TYPE_FAILED, item->Name, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (from != 0)
        WriteHistory(item->Name, item->Command, "", item->Code, from);
    WriteHistory(item->Name, item->Command, "", item->Code, HA_SERVICE_AUTOMATIC + chosen);
    info->StartType = chosen;
    info->Changed = 1;
    EnableWindow(GetDlgItem(dialog, IDC_INFO_APPLY), FALSE);
}

static void Move(HWND dialog, InfoDialog* info, int step)
{
    int count = info->Page->RowCount;
    if (count <= 0)
        return;
    info->Index = (info->Index + step + count) % count;
    FillDialog(dialog, info);
}

static void OnCommand(HWND dialog, InfoDialog* info, int id, int notification)
{
    switch (id) {
    case IDC_INFO_START_TYPE:
        if (notification == CBN_SELCHANGE) {
            int chosen = (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
            EnableWindow(GetDlgItem(dialog, IDC_INFO_APPLY), chosen != info->StartType);
        }
        return;
    case IDC_INFO_NOTE:
        if (notification == EN_CHANGE && !info->Filling && info->NoteMode)
            EnableWindow(GetDlgItem(dialog, IDC_INFO_SAVE_NOTE), TRUE);
        return;
    }
    if (notification != BN_CLICKED)
        return;
    switch (id) {
    case IDC_INFO_STOP: OnStop(dialog, info); break;
    case IDC_INFO_RUN: OnRun(dialog, info); break;
    case IDC_INFO_APPLY: OnApply(dialog, info); break;
    case IDC_INFO_SAVE_NOTE: OnSaveNote(dialog, info); break;
    case IDC_INFO_NEXT: Move(dialog, info, 1); break;
    case IDC_INFO_PREVIOUS: Move(dialog, info, -1); break;
    case IDC_INFO_EXPAND: ExpandOrShrink(dialog); break;
    case IDC_INFO_PLUS:
        LookUpOnline(dialog, info->Row->Item->Code, info->Row->Program);
        // The browser comes to the front.
        SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        break;
    case IDOK:
    case IDCANCEL:
        SaveWindowPlacement(dialog, kPlacement);
        EndDialog(dialog, id);
        break;
    }
}

static INT_PTR OnInitDialog(HWND dialog, InfoDialog* info)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)info);
    HFONT title = ExplorerFontOf(XFONT_TITLE);
    if (title != NULL)
        SendDlgItemMessageA(dialog, IDC_INFO_TITLE, WM_SETFONT, (WPARAM)title, FALSE);
    SetNumberedText(dialog, IDC_INFO_RUN, IDS_INFO_RUN);
    ExpandOrShrink(dialog);
    RestoreWindowPlacement(dialog, kPlacement);
    FillDialog(dialog, info);
    return info->NoteMode ? FALSE : TRUE;
}

static INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(dialog, (InfoDialog*)lParam);
    InfoDialog* info = (InfoDialog*)GetWindowLongPtrA(dialog, DWLP_USER);
    if (info == NULL)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, info, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_INFO_NOTICE:
        PageMessage(dialog, IDS_INFO_NOTE_TOO_LARGE, info->NoteFile, MB_OK | MB_ICONINFORMATION);
        return TRUE;
    case WM_DESTROY: {
        HICON icon = (HICON)SendDlgItemMessageA(dialog, IDC_INFO_ICON, BM_SETIMAGE, IMAGE_ICON, 0);
        if (icon != NULL)
            DestroyIcon(icon);
        return FALSE;
    }
    }
    return FALSE;
}

// The record of the refilled list that is the one shown last: the same
// kind, name and command; else the same place.
static int SameRecordAfterFill(const ListPage* page, const ItemRecord* shown, int index)
{
    for (int i = 0; i < page->RowCount; i++) {
        const ItemRecord* item = page->Rows[i].Item;
        if (item->Code == shown->Code && strcmp(item->Name, shown->Name) == 0 &&
            strcmp(item->Command, shown->Command) == 0)
            return i;
    }
    return index < page->RowCount ? index : page->RowCount - 1;
}

void ShowProgramInfo(ListPage* page, int index)
{
    if (RowOfRecord(page, index) == NULL)
        return;
    InfoDialog info;
    ZeroMemory(&info, sizeof(info));
    info.Page = page;
    info.Index = index;
    DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_INFO), page->Window, InfoDialogProc,
                    (LPARAM)&info);
    if (info.Changed) {
        ItemRecord shown = *RowOfRecord(page, info.Index)->Item;
        FillListPage(page);
        info.Index = SameRecordAfterFill(page, &shown, info.Index);
    }
    SelectRecord(page, info.Index);
}
