// The debug trace: an INI-format file (section "Trace") in the program
// folder, written only while the option "Debug" was non-zero at start.
#pragma once

// Trace budget: lines are written while it is at most 9000.  9999 is "off".
extern int g_TraceBudget;
// Set by the patrol before its first run: the next TraceElapsed writes 1.
extern int g_TraceFirstPatrol;

// Sets the trace file (a full path).  An empty name disables writing.
void TraceSetFile(const char* path);
const char* TraceFile();

// Turns the trace on (budget 0) when the option "Debug" is non-zero,
// otherwise leaves it off (9999).
void TraceStart();

// One line: key "<tick>.<line>", value "MM-DD  hh:mm:ss <name>: <text>".
void TraceNote(const char* name, const char* text);

// One line with the time since the last note, halved, and a star for each
// whole second of it.
void TraceElapsed();
