// The user's dates, and the dates and sizes of real files, against Wine's
// registry settings and file times.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/detected.h"
#include "foundation/file_dates.h"
#include "scratch_fixture.h"

namespace {

#define INTERNATIONAL "Control Panel\\International"

typedef scratch::ScratchTest FileDates;

// FormatDateTime's text.  The buffer starts full of "Z" with one terminating
// zero beyond the date buffer, so a text left unterminated shows.
std::string Formatted(const SYSTEMTIME& t)
{
    char out[VX_DATE_TEXT + 4];
    memset(out, 'Z', sizeof(out));
    out[sizeof(out) - 1] = '\0';
    EXPECT_EQ((int)strlen(out), FormatDateTime(&t, out));
    return out;
}

FILETIME UtcOf(const SYSTEMTIME& local)
{
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    return utc;
}

// The texts of a file, joined by "|": FileDateText's creation date (in its
// own form), FileDateSize's last-write date and size, then FileFacts'
// creation, last-access, last-write, first-detected and size texts, and the
// three results.  Every buffer starts full of "Z".
std::string Texts(const std::string& path)
{
    char t[3][VX_DATE_TEXT];
    FileFactsRecord f;
    memset(&f, 'Z', sizeof(f));
    memset(t, 'Z', sizeof(t));
    int results = FileDateText(path.c_str(), t[0]) * 100
        + FileDateSize(path.c_str(), t[1], t[2]) * 10 + FileFacts(path.c_str(), 200, &f);
    std::string all;
    for (const char* field :
        {t[0], t[1], t[2], f.created, f.accessed, f.written, f.detected, f.size})
        all += std::string(field, strnlen(field, VX_DATE_TEXT)) + "|";
    return all + std::to_string(results);
}

TEST_F(FileDates, TheUsersSettingsAndTheFactsOfFilesEvenWhenHeldOpenOrEmptyWhenMissing)
{
    scratch::SavedString date{ HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate" };
    scratch::SavedString time{ HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat" };
    // Settings stored as numbers, too long for the reader, or missing count
    // as the first forms.
    const SYSTEMTIME t = { 2008, 3, 0, 5, 14, 7, 59, 0 };
    vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", 5);
    const std::string overLong = "H:mm:ss" + std::string(2000, ' ');
    vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", overLong.c_str());
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t)) << "numbers, over-long";
    RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate");
    RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat");
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t)) << "missing";

    vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", "yyyy-MM-dd");
    vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", "HH:mm:ss");
    // Wine keeps no creation time of its own: it reports the earlier of the
    // last write and the last status change, so the creation time given is
    // the last-write time.
    std::string file = scratch::Scratch("facts.txt");
    vxtest::WriteFileBytes(file, std::string(1234567, 'f'));
    FILETIME written = UtcOf({2008, 3, 0, 5, 4, 7, 0, 0}),
             read = UtcOf({2009, 10, 0, 11, 12, 13, 0, 0});
    char detected[VX_DATE_TEXT];
    GetDetectedDate(file.c_str(), 200, detected);
    const std::string at = "2008-03-05 04:07|",
                      expected = "2008/03/05 04:07|" + at + "1234567|" + at + "2009-10-11 12:13|"
        + at + detected + "|1,234,567|111";
    {
        FileHandle writer(
            CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
        ASSERT_TRUE(SetFileTime(writer.Get(), &written, &read, &written));
        // Held open by another program without sharing: the facts are still there.
        EXPECT_EQ(expected, Texts(file)) << "held open";
    }
    EXPECT_EQ(expected, Texts(file));
    EXPECT_EQ("||||||||0", Texts(scratch::Scratch("missing.txt")));
    // A file time in forms read once: the same text as the file's own.
    DateForms forms;
    ReadDateForms(&forms);
    char text[VX_DATE_TEXT];
    EXPECT_EQ(16, FormatFileTime(written, forms, text));
    EXPECT_EQ("2008-03-05 04:07", std::string(text));
    // Unix time is converted to local time.
    SYSTEMTIME local, utc = { 2008, 3, 3, 5, 14, 7, 9, 0 }, want, zero = {};
    UnixTimeToLocal(1204726029LL, &local);   // 2008-03-05 14:07:09 UTC, a Wednesday
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(NULL, &utc, &want));
    EXPECT_EQ(0, memcmp(&want, &local, sizeof(local)));
    // Out of the range of file times: a zeroed time, no overflow.
    for (long long seconds : { -11644473601LL, 0x7FFFFFFFFFFFFFFFLL, -0x7FFFFFFFFFFFFFFFLL }) {
        memset(&local, 'Z', sizeof(local));
        UnixTimeToLocal(seconds, &local);
        EXPECT_EQ(0, memcmp(&zero, &local, sizeof(local))) << seconds;
    }
}

}  // namespace
