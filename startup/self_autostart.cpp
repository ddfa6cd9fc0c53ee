// The monitor's own autostart value and the own entries in the startup
// list: the monitor sets them at start and from its menu, the explorer on
// its command 6031.
#include "foundation/item_list.h"
#include "foundation/language.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "startup/autostart.h"

int SelfAutostartPresent()
{
    char name[64];
    char command[VX_PATH];
    LoadText(2, name, sizeof(name));
    if (RegReadString(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, name, command, sizeof(command)) > 0)
        return 1;
    LoadText(622, name, sizeof(name));
    return RegReadString(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, name, command, sizeof(command)) > 0;
}

void OwnAutostartCommand(char* out, int outSize)
{
    char folder[VX_PATH];
    GetProgramFolder(folder);
    TextFormat(out, (size_t)outSize, "\"%s\\vardex.exe\" -expressboot", folder);
}

int WriteSelfAutostart()
{
    // The program quoted: a folder with blanks ("C:\Program Files\...") must
    // not let the shell start "C:\Program.exe" in its place.
    char command[VX_PATH];
    OwnAutostartCommand(command, sizeof(command));
    char name[64];
    LoadText(2, name, sizeof(name));
    int written = RegWriteString(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, name, command);
    // The patrol must never ask about our own entry, whatever became of
    // the write above: its baseline is named as the startup list shows it.
    char listed[ITEM_COMMAND], baselineName[ITEM_COMMAND];
    ItemCommandText(command, listed);
    BaselineKeyOf(listed, baselineName, sizeof(baselineName));
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, baselineName, "1");
    return written;
}

int RemoveOwnStartupEntries(int remove)
{
    int found = 0;
    ItemList list;
    int count = BuildStartupList(&list, 0);
    for (int i = 0; i < count; i++) {
        char command[VX_PATH], extra[VX_PATH], key[VX_PATH];
        TextCopy(command, GetItemCommand(&list, i));
        TextCopy(extra, GetItemExtra(&list, i));
        int code = GetItemCode(&list, i);
        BaselineKeyOf(command, key, sizeof(key));
        if (ContainsNoCase(key, "Vardex.exe")) {
            found++;
            if (remove) {
                RemoveStartupEntry("Vardex", command, extra, code);
                RemoveStartupEntry("Vardex System Monitor", command, extra, code);
            }
        }
        if (remove && ContainsNoCase(command, "VardexView.exe"))
            RemoveStartupEntry("Vardex Explorer", command, extra, code);
    }
    return found != 0;
}

int SetSelfAutostart(int on)
{
    if (on)
        return WriteSelfAutostart();
    RemoveOwnStartupEntries(1);
    return !SelfAutostartPresent();
}

int ToggleSelfAutostart()
{
    if (SelfAutostartPresent()) {
        SetSelfAutostart(0);
        return 0;
    }
    return SetSelfAutostart(1);
}
