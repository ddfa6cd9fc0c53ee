// Start-up hooks of the monitored categories: each records its baseline on
// first use and does nothing when its key is already populated.
#pragma once

void InitServiceBaseline();
void InitHiddenBaseline();
void InitActiveXBaseline();
// Records HOSTS, C:\autoexec.bat and C:\Config.sys as watched system
// files.  1 when the records were written.
int RecordInitialSystemFiles();
void CreateFileTypeClassRecords();
// Counts the delayed-start list and resets the launcher.
void InitDelayedStart();

// Ends the program of a command line when it is running.  1 when a
// process was ended.
int EndProgramIfRunning(const char* command);
