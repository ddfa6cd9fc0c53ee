// The name of a Windows version, from the facts the version records give.
// The Win32 side (reports/os_name.h) reads them and hands them in.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// The platforms of the version record.
enum { OS_WIN32S = 0, OS_WINDOWS_9X = 1, OS_WINDOWS_NT = 2 };
// Product types of the extended record.
enum { OS_WORKSTATION = 1, OS_DOMAIN_CONTROLLER = 2, OS_SERVER = 3 };
// Suite bits of the extended record.
enum {
    OS_SUITE_ENTERPRISE = 0x0002, OS_SUITE_DATACENTER = 0x0080,
    OS_SUITE_PERSONAL = 0x0200, OS_SUITE_BLADE = 0x0400
};

struct OsFacts {
    int platform;             // OS_WIN32S, OS_WINDOWS_9X, OS_WINDOWS_NT
    int major, minor, build;
    const char* servicePack;  // the record's service-pack text ("" when none)
    int extended;             // 1: the fields below come from the extended record
    int servicePackMajor;
    int productType;          // OS_WORKSTATION ...
    unsigned suite;           // OS_SUITE_* bits
    int tabletPc;
    // Without the extended record: ProductOptions "ProductType" ("WINNT" ...).
    const char* registryProductType;
    int hotfixQ246009;        // the key of the 6a hot fix exists
};

// The system's name ("Windows XP Home Edition Service Pack 2 (Build 2600)")
// into out (outSize bytes).  Returns its length.
int OsNameText(const OsFacts* facts, char* out, size_t outSize);
