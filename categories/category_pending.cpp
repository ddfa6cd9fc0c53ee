// Placeholders for the categories whose sources have not landed yet: each
// records nothing.
#include "categories/category_hooks.h"

void InitServiceBaseline() {}
void InitHiddenBaseline() {}
void InitActiveXBaseline() {}
int RecordInitialSystemFiles() { return 0; }
void CreateFileTypeClassRecords() {}

void PatrolIEHelpers() {}
void PatrolHiddenFiles() {}
void PatrolActiveX() {}
void CheckAllSysFiles() {}
void PatrolFileTypes() {}
int IsSchedulerRunning() { return 0; }
void PatrolTasks() {}
void PatrolServices() {}
int ListCookies(int) { return 0; }
int GetMozillaProfileFolder(char* out) { out[0] = '\0'; return 0; }
int CommitCookieFile() { return 0; }
void SetCookieFilePending(int) {}
void PurgeOneTimeNuts() {}
int RunDelayedPrograms(int) { return 0; }
int CountDelayedPrograms() { return 0; }
int QueryServiceState(const char*) { return 0; }
int ServiceStateText(const char*, char* out) { out[0] = '\0'; return 0; }
int ControlServiceByTitle(const char*, int) { return 0; }
int SetServiceStartType(const char*, int) { return 0; }
int RestoreHiddenFile(const char*) { return 0; }
void RecordDetectedIEHelpers() {}
void RecordDetectedTasks() {}
void RecordDetectedServices() {}
void RecordDetectedFileTypes() {}
void RecordDetectedHidden() {}
