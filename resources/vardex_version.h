// The product's version stamp, kept in the registry as "Version" and in the
// VERSIONINFO of both programs.
#pragma once
#define VX_VERSION_TEXT   "15.9.2008.5"
#define VX_VERSION_COMMA  15,9,2008,5
#define VX_VENDOR_ROOT    "http://www.quillon.com/"
#define VX_HELP_ROOT      VX_VENDOR_ROOT "help/"
