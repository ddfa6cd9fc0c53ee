// The user's dates, and the dates and sizes of real files, against Wine's
// registry settings and file times.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/detected.h"
#include "foundation/file_dates.h"
#include "foundation/text.h"
#include "scratch_fixture.h"

namespace {

using scratch::SavedString;
using scratch::Scratch;

#define INTERNATIONAL "Control Panel\\International"

class FileDates : public scratch::ScratchTest {
protected:
    SavedString shortDate_{ HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate" };
    SavedString timeFormat_{ HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat" };

    void Set(const char* date, const char* time)
    {
        vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", date);
        vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", time);
    }
};

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second = 0)
{
    return SYSTEMTIME{ (WORD)year, (WORD)month, 0, (WORD)day, (WORD)hour, (WORD)minute,
                       (WORD)second, 0 };
}

// FormatDateTime's text.  The buffer starts full of "Z" with one terminating
// zero far beyond it, so a text left unterminated or written past the date
// buffer shows as a wrong text rather than a read out of bounds.
std::string Formatted(const SYSTEMTIME& t)
{
    char out[VX_DATE_TEXT + 4];
    memset(out, 'Z', sizeof(out));
    out[sizeof(out) - 1] = '\0';
    int length = FormatDateTime(&t, out);
    EXPECT_EQ((int)strlen(out), length);
    EXPECT_EQ('Z', out[VX_DATE_TEXT]);
    return out;
}

TEST_F(FileDates, FollowTheUsersSettingsAndTakeBadOnesAsTheFirstForms)
{
    const SYSTEMTIME t = Time(2008, 3, 5, 14, 7, 59);
    const std::string overLong = "yyyy-MM-dd" + std::string(2000, ' ');
    // date and time NULL: both values removed; "dword": stored as numbers.
    const struct { const char* date; const char* time; const char* expected; } cases[] = {
        { "dd-MMM-yy", "h:mm:ss tt", "05-Mar-2008 2:07 PM" },
        { "yyyy-MM-dd", "HH:mm:ss", "2008-03-05 14:07" },
        { "dd.MM.yyyy", "HH.mm.ss", "03/05/2008 2:07 PM" },
        { NULL, NULL, "03/05/2008 2:07 PM" },
        { "dword", "dword", "03/05/2008 2:07 PM" },
        { overLong.c_str(), overLong.c_str(), "03/05/2008 2:07 PM" },
    };
    for (const auto& c : cases) {
        if (c.date == NULL) {
            RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate");
            RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat");
        } else if (strcmp(c.date, "dword") == 0) {
            vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", 5);
            vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", 3);
        } else {
            Set(c.date, c.time);
        }
        EXPECT_EQ(c.expected, Formatted(t)) << (c.date ? c.date : "missing");
    }
}

FILETIME UtcOf(const SYSTEMTIME& local)
{
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    return utc;
}

// A file with the given creation, last-access and last-write times (local
// time).  Wine keeps no creation time of its own: it reports the earlier of
// the last write and the last status change, so the tests give the
// creation time as the last-write time where they read it.
std::string FileWithTimes(const char* name, size_t size, const SYSTEMTIME& created,
                          const SYSTEMTIME& accessed, const SYSTEMTIME& written)
{
    std::string path = Scratch(name);
    vxtest::WriteFileBytes(path, std::string(size, 'f'));
    FILETIME times[3] = { UtcOf(created), UtcOf(accessed), UtcOf(written) };
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_TRUE(SetFileTime(file.Get(), &times[0], &times[1], &times[2]));
    return path;
}

TEST_F(FileDates, DatesSizesAndFactsOfAFile)
{
    Set("yyyy-MM-dd", "HH:mm:ss");
    std::string file = FileWithTimes("facts.txt", 1234567, Time(2008, 3, 5, 4, 7),
                                     Time(2009, 10, 11, 12, 13), Time(2008, 3, 5, 4, 7));
    char date[VX_DATE_TEXT], size[VX_DATE_TEXT], detected[VX_DATE_TEXT];
    EXPECT_EQ(1, FileDateText(file.c_str(), date));   // creation time, in its own form
    EXPECT_STREQ("2008/03/05 04:07", date);
    EXPECT_EQ(1, FileDateSize(file.c_str(), date, size));   // last-write time
    EXPECT_STREQ("2008-03-05 04:07", date);
    EXPECT_STREQ("1234567", size);
    GetDetectedDate(file.c_str(), 200, detected);
    // Twice: the second time another program holds the file open without
    // sharing, and the facts are still there.
    for (int held = 0; held < 2; held++) {
        FileHandle holder(held ? CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                             OPEN_EXISTING, 0, NULL) : INVALID_HANDLE_VALUE);
        ASSERT_EQ(held != 0, holder.IsValid());
        FileFactsRecord facts;
        memset(&facts, 'Z', sizeof(facts));
        EXPECT_EQ(1, FileFacts(file.c_str(), 200, &facts));
        EXPECT_STREQ("2008-03-05 04:07", facts.created) << held;
        EXPECT_STREQ("2009-10-11 12:13", facts.accessed) << held;
        EXPECT_STREQ("2008-03-05 04:07", facts.written) << held;
        EXPECT_STREQ("1,234,567", facts.size) << held;
        EXPECT_STREQ(detected, facts.detected) << held;
    }
}

TEST_F(FileDates, AMissingFileLeavesEveryTextEmpty)
{
    std::string missing = Scratch("missing.txt");
    FileFactsRecord facts;
    char text[VX_DATE_TEXT], date[VX_DATE_TEXT], size[VX_DATE_TEXT];
    memset(&facts, 'Z', sizeof(facts));
    memset(text, 'Z', sizeof(text));
    memset(date, 'Z', sizeof(date));
    memset(size, 'Z', sizeof(size));
    EXPECT_EQ(0, FileDateText(missing.c_str(), text));
    EXPECT_EQ(0, FileDateSize(missing.c_str(), date, size));
    EXPECT_EQ(0, FileFacts(missing.c_str(), 200, &facts));
    const char* empty[] = { text, date, size, facts.created, facts.accessed, facts.written,
                            facts.detected, facts.size };
    for (const char* field : empty)
        EXPECT_EQ('\0', field[0]);
}

TEST_F(FileDates, UnixTimeIsConvertedToLocalTime)
{
    auto text = [](const SYSTEMTIME& t) {
        char out[64];
        TEXT_FORMAT(out, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                    t.wMinute, t.wSecond);
        return std::string(out);
    };
    SYSTEMTIME local, utc = Time(2008, 3, 5, 14, 7, 9), expected;
    UnixTimeToLocal(1204726029LL, &local);   // 2008-03-05 14:07:09 UTC
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(NULL, &utc, &expected));
    EXPECT_EQ(text(expected), text(local));
    // Out of the range of file times: a zeroed time, no overflow.
    const long long outOfRange[] = { -11644473601LL, 0x7FFFFFFFFFFFFFFFLL, -0x7FFFFFFFFFFFFFFFLL };
    for (long long seconds : outOfRange) {
        memset(&local, 'Z', sizeof(local));
        UnixTimeToLocal(seconds, &local);
        EXPECT_EQ("0000-00-00 00:00:00", text(local)) << seconds;
    }
}

}  // namespace
