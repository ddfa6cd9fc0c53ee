// The explorer's page records without the list pages' columns and actions:
// the monitor's tray menu and the switches it starts the explorer with
// come from the same rows as the explorer's tabs.
#define VX_PAGE_RECORDS_ONLY
#include "explorer/page_table.cpp"
