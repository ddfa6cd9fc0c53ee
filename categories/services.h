// Windows services that start programs: the listing from the service keys,
// the baseline of the services already seen, and the service control
// operations both programs use (state, stop, startup type).
//
// A service is known by its title: the display name the service control
// manager gives its key name, else the key's DisplayName value, else the
// key name itself; at most 127 characters of it are kept.
#pragma once
#include <stddef.h>
#include "foundation/category_record.h"

struct NameTable;  // foundation/name_table.h

#define SERVICES_KEY     "SYSTEM\\CurrentControlSet\\Services"
#define VX_SERVICES_KEY  "Software\\Quillon\\Vardex\\Services"

enum { SERVICE_CODE_EXE = 700, SERVICE_CODE_SVCHOST = 701 };

// Texts of the startup type and the run state.
enum {
    TXT_SERVICE_STOPPED = 652, TXT_SERVICE_START_PENDING = 653,
    TXT_SERVICE_STOP_PENDING = 654, TXT_SERVICE_RUNNING = 655,
    TXT_SERVICE_CONTINUE_PENDING = 656, TXT_SERVICE_PAUSE_PENDING = 657,
    TXT_SERVICE_PAUSED = 658, TXT_SERVICE_AUTOMATIC = 664, TXT_SERVICE_MANUAL = 665,
    TXT_SERVICE_DISABLED = 666, TXT_SERVICE_UNKNOWN = 616
};

// The row of the services category: second half, period "Services",
// real-time "RealtimeServices", auto answer "HideServices".
extern const Category g_ServicesCategory;

// Empties the list and fills it with the services.  Quick: every key
// with a non-empty ImagePath, Name = key name, nothing else read, no
// filter.  Full: title, command (the hosted DLL for a shared-host
// service), startup-type text, code 700/701 and description, programs and
// shared-host services only, and with "HideMicrosoftServices" above 0 no
// service whose file names a company containing "Microsoft".  Returns the
// number listed; -1 (and an empty list) when the service keys cannot be
// read.
int EnumServices(ItemList* list, int quick);
// The full listing without the company filter: what a baseline records.
int EnumServicesUnfiltered(ItemList* list);

// The display name the service control manager has for keyName (out holds
// outSize).  1, or 0 and "".
int GetServiceTitle(const char* keyName, char* out, int outSize);

// The key name of a service title (out holds outSize, at least 256): the
// control manager's answer, else the first service key whose title is
// title, else -- for a title of 127 characters, which may have been cut --
// the one key whose title begins with it.  1, or 0 and "" (also when two
// keys share the cut title: acting on either could hit the wrong one).
int ServiceKeyNameOfTitle(const char* title, char* out, int outSize);

// (current state << 16) | (service type & 0xFFFF) after an interrogate
// control; 0 when the service cannot be reached or is not running.
int QueryServiceState(const char* title);
// The run-state text (out holds 128): "Running", "Paused" ... and
// "Stopped" when the state is unknown.  Returns QueryServiceState, 0 when
// that is below 0x10000.
int ServiceStateText(const char* title, char* out, size_t outSize);
template <size_t N> inline int ServiceStateText(const char* title, char (&out)[N])
{ return ServiceStateText(title, out, N); }
// The run-state text of a state as the control manager gives it
// (SERVICE_RUNNING ...; out holds 128): "Stopped" for any state not named.
void ServiceStateName(int state, char* out, size_t outSize);
// The state of every service the control manager knows, in one call: each
// title (cut as the listing cuts it) with its current state.  Returns how
// many were entered; -1 (nothing entered) when the manager cannot be asked.
// A service known to the registry alone has no state here.
int LoadServiceStates(NameTable* states);
// The controls the running service accepts; 0 when it cannot be asked.
int ServiceControlsAccepted(const char* title);
// Sends control (1 stops) to the service.  1 on success, else 0.
int ControlServiceByTitle(const char* title, int control);
// Sets the startup type (2 automatic, 3 manual, 4 disabled) of the service
// through the control manager, so that it takes effect at once, else by the
// "Start" value of its key.  1 on success; 0 when no service has the title
// or nothing could be written.
int SetServiceStartType(const char* title, int startType);
// The startup-type text the service alert shows: "Automatic", "Manual",
// "Disabled" for a REG_DWORD "Start" of 2, 3, 4 under the service's key
// name, "Unknown" otherwise (out holds outSize).  Returns the start value,
// 0 when unknown.
int ServiceStartTypeText(const char* title, char* out, int outSize);
// The description of the first service whose program (or hosted DLL) is
// path, compared as ExpandProgramPath forms (out holds 1024).  Its length,
// or 0 and "".
int ServiceDescriptionForFile(const char* path, char* out, size_t outSize);
template <size_t N> inline int ServiceDescriptionForFile(const char* path, char (&out)[N])
{ return ServiceDescriptionForFile(path, out, N); }

// The patrol's quick pass: 1 when some program or shared-host service has
// a title the baseline does not know (missing or "0"), else 0.
int ServicesChanged();
