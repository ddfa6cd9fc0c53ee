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

TEST(SheetPlacement, SavedPlaceAndSize)
{
    Placed p = Place("100", "50", "600", "450");
    EXPECT_EQ(100, p.left);
    EXPECT_EQ(50, p.top);
    EXPECT_EQ(600, p.width);
    EXPECT_EQ(450, p.height);
    EXPECT_EQ(500, Place("100", "50", "600", "450", 0).width);  // 9x: never sized
}

TEST(SheetPlacement, WithoutAPlaceCentredOneThirdDown)
{
    for (const char* y : { "", "abc" }) {
        Placed p = Place("100", y, NULL, NULL);
        EXPECT_EQ((1024 - 500) / 2, p.left) << y;
        EXPECT_EQ((768 - 400) / 3, p.top) << y;
    }
}

TEST(SheetPlacement, OffTheScreenComesBackWhole)
{
    Placed far = Place("-5000", "100000", NULL, NULL);
    EXPECT_EQ(0, far.left);
    EXPECT_EQ(768 - 400, far.top);
    Placed right = Place("1000", "-1", NULL, NULL);
    EXPECT_EQ(1024 - 500, right.left);
    EXPECT_EQ(0, right.top);
}

TEST(SheetPlacement, ABadSizeKeepsTheTemplateSize)
{
    const char* sizes[][2] = { { "100000", "450" }, { "abc", "450" }, { "0", "450" },
                               { "600", "-5" }, { "600", "769" }, { "600", "" } };
    for (const auto& size : sizes) {
        Placed p = Place("10", "10", size[0], size[1]);
        EXPECT_EQ(500, p.width) << size[0] << " x " << size[1];
        EXPECT_EQ(400, p.height) << size[0] << " x " << size[1];
    }
    EXPECT_EQ(1024, Place("0", "0", "1024", "768").width);
}

}  // namespace
