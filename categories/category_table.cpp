// The watched categories in patrol order: a step that runs every patrol
// first, then the first half, then the second.  A category that is not
// built has no row.
#include "categories/category.h"

#include "categories/activex.h"
#include "categories/browser_pages.h"
#include "categories/cookies.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/ie_helpers.h"
#include "categories/restart_commands.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/sysfiles.h"
#include "categories/tasks.h"
#include "startup/autostart.h"

static const Category* const s_table[] = {
    &g_UpdatePrefixCategory,
    &g_StartupCategory,
    &g_IEHelpersCategory,
    &g_HiddenFilesCategory,
    &g_ActiveXCategory,
    &g_SysFilesCategory,
    &g_BrowserPagesCategory,
    &g_FileTypesCategory,
    &g_TasksCategory,
    &g_RestartCommandsCategory,
    &g_ServicesCategory,
    &g_CookieFilterCategory,
    &g_CookieFileCategory,
    &g_NewCookiesCategory,
    &g_ActiveTasksCategory,
};

int CategoryCount()
{
    return (int)(sizeof(s_table) / sizeof(s_table[0]));
}

const Category* CategoryAt(int index)
{
    return index >= 0 && index < CategoryCount() ? s_table[index] : NULL;
}
