// The explorer's text rules: switches, saved numbers and the sheet's place.
#include <gtest/gtest.h>

#include <string>

#include "explorer/explorer_text.h"

namespace {

ExplorerSwitches Read(const std::string& line)
{
    ExplorerSwitches s;
    ReadExplorerSwitches(line.c_str(), &s);
    return s;
}

TEST(ExplorerSwitches, PageSwitchesAnywhereAnyCaseLaterWins)
{
    const struct { const char* line; int command; } cases[] = {
        { "-START", 6026 }, { "x-startx", 6026 }, { "-service", 6038 },
        { "-SERVICE -TASK", 6029 }, { "-TASK -SERVICE", 6029 },
        { "-RESTART", 6033 }, { "-COOKIE", 6045 }, { "-NUTS", 6028 },
        { "-COOKIE -NUT", 6028 }, { "-OPTIONS", 6033 }, { "-FILETYPES", 6042 },
        { "-EXIT", 6048 }, { "-MONITOR", 6046 }, { "-BLACKLIST", 6047 },
        { "-ACTIVEX -HIDDEN", 6056 }, { "-DELAY", 6055 }, { "", 0 }, { "C:\\Vardex", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.command, Read(c.line).Command) << c.line;
}

TEST(ExplorerSwitches, StartQuitAndMaintenance)
{
    EXPECT_EQ(1, Read("-RESTART").StartMonitor);
    EXPECT_EQ(0, Read("-OPTION").StartMonitor);
    EXPECT_EQ(1, Read("-q").Quit);
    EXPECT_EQ(0, Read("-TASK").Quit);
    EXPECT_EQ(MAINTENANCE_RESTORE, Read("-restore -SetPrefix").Maintenance);
    EXPECT_EQ(MAINTENANCE_AUOPTION, Read("-SETPREFIX -auoption").Maintenance);
    EXPECT_EQ(MAINTENANCE_SETPREFIX, Read("-SetPrefix").Maintenance);
    EXPECT_EQ(MAINTENANCE_NONE, Read("-RESTART").Maintenance);
}

TEST(ExplorerSwitches, LinesOver772CharactersHoldNone)
{
    std::string line = "-TASK -Q -Restore " + std::string(754, 'x');
    ASSERT_EQ(772u, line.size());
    EXPECT_EQ(6029, Read(line).Command);
    EXPECT_EQ(1, Read(line).Quit);
    ExplorerSwitches s = Read(line + "x");
    EXPECT_EQ(0, s.Command);
    EXPECT_EQ(0, s.Quit);
    EXPECT_EQ(MAINTENANCE_NONE, s.Maintenance);
    ReadExplorerSwitches(NULL, &s);
    EXPECT_EQ(0, s.Command);
}

TEST(ExplorerNumbers, WholeNumbersOnly)
{
    int value = 77;
    EXPECT_EQ(1, ReadWholeNumber("-5000", &value));
    EXPECT_EQ(-5000, value);
    EXPECT_EQ(1, ReadWholeNumber("999999999", &value));
    EXPECT_EQ(999999999, value);
    for (const char* bad : { "abc", "", "-", "12a", " 12", "1e5", "1234567890", "--1" }) {
        value = 77;
        EXPECT_EQ(0, ReadWholeNumber(bad, &value)) << bad;
        EXPECT_EQ(77, value) << bad;
    }
    EXPECT_EQ(0, ReadWholeNumber(NULL, &value));
}

TEST(ExplorerNumbers, MinutesField)
{
    EXPECT_EQ(45, ReadMinutesField("45"));
    EXPECT_EQ(0, ReadMinutesField("0"));
    EXPECT_EQ(-1, ReadMinutesField(""));
    EXPECT_EQ(-1, ReadMinutesField("-3"));
    EXPECT_EQ(-1, ReadMinutesField("4a"));
}

// A 1024 x 768 screen; the sheet is 500 x 400 by its template.
struct Placed {
    int left, top, width, height;
};
Placed Place(const char* x, const char* y, const char* dx, const char* dy, int allowSize = 1)
{
    const char* saved[4] = { x, y, dx, dy };
    ScreenBox sheet = { 10, 20, 500, 400 }, screen = { 0, 0, 1024, 768 }, box;
    ChooseSheetBox(saved, sheet, screen, 1024, 768, allowSize, &box);
    return { box.Left, box.Top, box.Width, box.Height };
}

// The saved place and size; without a place centred one third down; off
// the screen brought back whole; a bad size keeps the template's (as does
// a system that never sizes the sheet).
TEST(SheetPlacement, SavedPlaceAndSizeOrTheirSafeStandIns)
{
    const struct { const char *x, *y, *dx, *dy; int allowSize; Placed want; } cases[] = {
        { "100", "50", "600", "450", 1, { 100, 50, 600, 450 } },
        { "100", "50", "600", "450", 0, { 100, 50, 500, 400 } },
        { "100", "", NULL, NULL, 1, { (1024 - 500) / 2, (768 - 400) / 3, 500, 400 } },
        { "100", "abc", NULL, NULL, 1, { (1024 - 500) / 2, (768 - 400) / 3, 500, 400 } },
        { "-5000", "100000", NULL, NULL, 1, { 0, 768 - 400, 500, 400 } },
        { "1000", "-1", NULL, NULL, 1, { 1024 - 500, 0, 500, 400 } },
        { "10", "10", "100000", "450", 1, { 10, 10, 500, 400 } },
        { "10", "10", "abc", "450", 1, { 10, 10, 500, 400 } },
        { "10", "10", "0", "450", 1, { 10, 10, 500, 400 } },
        { "10", "10", "600", "-5", 1, { 10, 10, 500, 400 } },
        { "10", "10", "600", "769", 1, { 10, 10, 500, 400 } },
        { "10", "10", "600", "", 1, { 10, 10, 500, 400 } },
        { "0", "0", "1024", "768", 1, { 0, 0, 1024, 768 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.x) + "," + c.y + " " + (c.dx ? c.dx : "-") + " x " +
                     (c.dy ? c.dy : "-"));
        Placed p = Place(c.x, c.y, c.dx, c.dy, c.allowSize);
        EXPECT_EQ(c.want.left, p.left);
        EXPECT_EQ(c.want.top, p.top);
        EXPECT_EQ(c.want.width, p.width);
        EXPECT_EQ(c.want.height, p.height);
    }
}

}  // namespace
