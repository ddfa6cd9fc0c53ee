// The name of a Windows version (reports/os_name_text.h).
#include "reports/os_name_text.h"

#include "foundation/text.h"

// The release names of the NT versions from 5.0 on; NULL for a version
// that has no name here.
static const char* NtReleaseName(const OsFacts* f)
{
    int server = f->extended && f->productType != OS_WORKSTATION;
    int v = f->major * 100 + f->minor;
    switch (v) {
    case 500: return "Windows 2000 ";
    case 501: return "Windows XP ";
    case 502: return "Windows Server 2003 family, ";
    case 600: return server ? "Windows Server 2008 " : "Windows Vista ";
    case 601: return server ? "Windows Server 2008 R2 " : "Windows 7 ";
    case 602: return server ? "Windows Server 2012 " : "Windows 8 ";
    case 603: return server ? "Windows Server 2012 R2 " : "Windows 8.1 ";
    case 1000:
        if (server)
            return "Windows Server ";
        return f->build >= 22000 ? "Windows 11 " : "Windows 10 ";
    }
    return NULL;
}

static void AppendEdition(const OsFacts* f, char* out, size_t outSize)
{
    if (f->productType == OS_WORKSTATION) {
        if (f->major == 4)
            TextAppend(out, outSize, "Workstation 4.0 ");
        else if (f->suite & OS_SUITE_PERSONAL)
            TextAppend(out, outSize, "Home Edition ");
        return;
    }
    if (f->productType != OS_SERVER && f->productType != OS_DOMAIN_CONTROLLER)
        return;
    const char* edition = NULL;
    if (f->major == 5 && f->minor == 2) {
        if (f->suite & OS_SUITE_DATACENTER)
            edition = "Datacenter Edition ";
        else if (f->suite & OS_SUITE_ENTERPRISE)
            edition = "Enterprise Edition ";
        else if (f->suite == OS_SUITE_BLADE)
            edition = "Web Edition ";
        else
            edition = "Standard Edition ";
    } else if (f->major == 5 && f->minor == 0) {
        if (f->suite & OS_SUITE_DATACENTER)
            edition = "Datacenter Server ";
        else if (f->suite & OS_SUITE_ENTERPRISE)
            edition = "Advanced Server ";
        else
            edition = "Server ";
    } else if (f->major <= 4) {
        edition = (f->suite & OS_SUITE_ENTERPRISE) ? "Server 4.0, Enterprise Edition "
                                                   : "Server 4.0 ";
    }
    if (edition != NULL)
        TextAppend(out, outSize, edition);
}

static void AppendPlainEdition(const OsFacts* f, char* out, size_t outSize)
{
    const char* type = f->registryProductType != NULL ? f->registryProductType : "";
    if (TextEqualNoCase(type, "WINNT"))
        TextAppend(out, outSize, "Workstation ");
    else if (TextEqualNoCase(type, "LANMANNT"))
        TextAppend(out, outSize, "Server ");
    else if (TextEqualNoCase(type, "SERVERNT"))
        TextAppend(out, outSize, "Advanced Server ");
    TextAppendFormat(out, outSize, "%d.%d ", f->major, f->minor);
}

static int NineXName(const OsFacts* f, const char* sp, char* out, size_t outSize)
{
    char mark = sp[0] != '\0' ? sp[1] : '\0';
    if (f->major == 4 && f->minor == 0) {
        TextCopy(out, outSize, "Microsoft Windows 95 ");
        if (mark == 'C' || mark == 'B')
            TextAppend(out, outSize, "OSR2 ");
    } else if (f->major == 4 && f->minor == 10) {
        TextCopy(out, outSize, "Microsoft Windows 98 ");
        if (mark == 'A')
            TextAppend(out, outSize, "SE ");
    } else if (f->major == 4 && f->minor == 90) {
        TextCopy(out, outSize, "Microsoft Windows Millennium Edition");
    } else {
        TextFormat(out, outSize, "Microsoft Windows %d.%d", f->major, f->minor);
    }
    return (int)TextLength(out, outSize);
}

int OsNameText(const OsFacts* f, char* out, size_t outSize)
{
    if (out == NULL || outSize == 0)
        return 0;
    out[0] = '\0';
    const char* sp = f->servicePack != NULL ? f->servicePack : "";
    if (f->platform == OS_WIN32S)
        return (int)TextCopy(out, outSize, "Microsoft Win32s");
    if (f->platform == OS_WINDOWS_9X)
        return NineXName(f, sp, out, outSize);

    const char* name = NtReleaseName(f);
    if (name != NULL)
        TextCopy(out, outSize, name);
    else if (f->major <= 4)
        TextCopy(out, outSize, "Windows NT ");
    else
        TextFormat(out, outSize, "Windows NT %d.%d ", f->major, f->minor);

    if (f->extended) {
        if (f->servicePackMajor >= 1 && f->servicePackMajor <= 3)
            TextAppendFormat(out, outSize, "SP%d ", f->servicePackMajor);
        if (f->tabletPc)
            TextAppend(out, outSize, "Tablet PC Edition ");
        AppendEdition(f, out, outSize);
    } else {
        AppendPlainEdition(f, out, outSize);
    }
    if (f->major == 4 && TextEqualNoCase(sp, "Service Pack 6") && f->hotfixQ246009)
        TextAppendFormat(out, outSize, "Service Pack 6a (Build %d)", f->build & 0xFFFF);
    else
        TextAppendFormat(out, outSize, "%s (Build %d)", sp, f->build & 0xFFFF);
    return (int)TextLength(out, outSize);
}
