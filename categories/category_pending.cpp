// Placeholders for the categories whose sources have not landed yet: each
// records nothing.
#include "categories/category_hooks.h"

void InitHiddenBaseline() {}
void InitActiveXBaseline() {}
int RecordInitialSystemFiles() { return 0; }
void CreateFileTypeClassRecords() {}
int EndProgramIfRunning(const char*) { return 0; }

void CheckUpdateAndPrefix() {}
void PatrolIEHelpers() {}
void PatrolHiddenFiles() {}
void PatrolActiveX() {}
void CheckAllSysFiles() {}
void CheckBrowserPages() {}
void PatrolFileTypes() {}
void PatrolTasks() {}
void PatrolServices() {}
int ListCookies(int) { return 0; }
int GetMozillaProfileFolder(char* out) { out[0] = '\0'; return 0; }
int CommitCookieFile() { return 0; }
void SetCookieFilePending(int) {}
void PurgeOneTimeNuts() {}
void RecordActiveTasks() {}
int RunDelayedPrograms(int) { return 0; }
int CountDelayedPrograms() { return 0; }
int RestoreHiddenFile(const char*) { return 0; }
void RecordDetectedIEHelpers() {}
void RecordDetectedFileTypes() {}
void RecordDetectedHidden() {}
