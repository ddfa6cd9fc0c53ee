// The History dialog's list: the lines of history.txt shown in a list
// view, undone through the category that wrote them, and the file cleared.
#pragma once
#include <windows.h>

// Reads history.txt again (ReadHistory) and shows its lines in the list
// view: Title, Action, Command (the type name), Date Modified; the columns
// are added when the list has none.  Returns the number of lines.
int ShowHistoryInList(HWND list);

// Undoes line index of the last reading (UndoHistoryLine), then reads and
// shows the file again.  1 when the line was undone.
int RestoreHistoryRow(int index, HWND list);

// "Clear File": deletes history.txt and shows the now empty list.  1 when
// the file is gone.
int ClearHistoryInList(HWND list);
