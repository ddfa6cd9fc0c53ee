// The history log: history.txt in the program folder, one tab-separated
// line per change made on the user's behalf and per alert shown, appended by
// both programs; its optional report to the history server; and, for the
// explorer, reading it back and undoing the reversible actions.
#pragma once
#include <windows.h>

#include "foundation/history_line.h"
#include "foundation/item_list.h"

// Appends one line (time, action name, type name, name, command, info).
// Returns 1 when written; 0 when the option "History" is 0 or below (nothing
// is written or sent), the file cannot be opened (it is open elsewhere:
// the line is dropped) or written whole, or its path does not fit in 259
// characters.  A written line is then reported to the history
// server, whose answer is not used.
int WriteHistory(const char* name, const char* command, const char* info, int typeCode,
                 int actionCode);

// Reports one event to the HKLM "vxserver" address, every value
// percent-encoded, waiting at most a few seconds for each of connecting,
// sending and answering.  Returns 1 when the server answered with text beginning
// "1"; 0 when no server is configured or the request failed.
int ReportHistory(const char* action, const char* type, const char* name,
                  const char* command);

// Full path of history.txt (out holds 260); 0 and "" when the program
// folder is unknown.
int HistoryFilePath(char* out, size_t outSize);
template <size_t N> inline int HistoryFilePath(char (&out)[N])
{ return HistoryFilePath(out, N); }

// Reads the first 131072 bytes of history.txt into the history list (at
// most ITEM_MAX lines).  Returns the number of lines.
//
// Each line becomes an ItemRecord: Info = its time, Flag = its action code,
// Code = its type code, Name, Command and Extra = fields 4 to 6, each left
// empty when over 127/259/259 characters.  The lines are kept in a list of
// their own and not in the shared item list, whose AddItem rewrites names
// and commands: what is shown and restored is exactly what was written.
int ReadHistory();

// The lines of the last ReadHistory; NULL (0) outside the list.
int HistoryItemCount();
const ItemRecord* GetHistoryItem(int index);
// Frees the history list.
void ClearHistoryItems();

// "Clear File": deletes history.txt (attributes cleared first) and reads the
// now empty list.  1 when the file is gone.
int ClearHistoryFile();
