// Placeholders for the categories whose sources have not landed yet: each
// records nothing.
#include "categories/category_hooks.h"

void InitServiceBaseline() {}
void InitHiddenBaseline() {}
void InitActiveXBaseline() {}
int RecordInitialSystemFiles() { return 0; }
void CreateFileTypeClassRecords() {}
void InitDelayedStart() {}
int EndProgramIfRunning(const char*) { return 0; }
