// What every category shares: the hide options' answers, the first filling
// of the first-detected dates, and the undo that finds the category of a
// history line.
#include <windows.h>

#include "categories/category.h"
#include "foundation/detected.h"
#include "foundation/history_line.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "startup/autostart.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

TEST(CategoryDriver, TheHideOptionAnswersWithoutAskingAnyone)
{
    const struct { int hide, answer; size_t asked; } cases[] = {
        { 0, ANSWER_DISABLE, 1 }, { 1, ANSWER_ACCEPT, 0 }, { 2, ANSWER_REJECT, 0 },
        { -1, ANSWER_REJECT, 0 }, { 99, ANSWER_REJECT, 0 },
    };
    for (const auto& c : cases) {
        vxtest::ScriptedUi user;
        user.answer = ANSWER_DISABLE;
        AlertRequest request;
        MakeAlertRequest(&request, ALERT_TASK, "C:\\x.exe", "x", 800);
        EXPECT_EQ(c.answer, AskOrAutoAnswer(c.hide, &request)) << c.hide;
        EXPECT_EQ(c.asked, user.asked.size()) << c.hide;
    }
    // Nobody to ask, or a window that could not be shown: no answer.
    AlertRequest request;
    MakeAlertRequest(&request, ALERT_TASK, NULL, NULL, 800);
    EXPECT_EQ(ANSWER_NONE, AskOrAutoAnswer(0, &request));
    vxtest::ScriptedUi user;
    user.answer = -1;
    EXPECT_EQ(ANSWER_NONE, AskOrAutoAnswer(0, &request));
    ItemRecord line = {};
    line.Flag = HA_START_ALERT;
    line.Code = 11;
    EXPECT_EQ(0, UndoHistoryLine(&line));
    line.Flag = HA_LOG_UNKNOWN;
    EXPECT_EQ(0, UndoHistoryLine(&line));
    EXPECT_EQ(0, UndoHistoryLine(NULL));
    vxtest::ResetStore();
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const char* dates = VX_DETECTED_KEY "\\Startup";
    std::string first = vxtest::PathInProgramFolder("KESSA.DLL");
    std::string second = vxtest::PathInProgramFolder("Vardex.exe");
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxFirst", first.c_str());
    InitDetected();
    InitCategoryDetected();
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, dates, first.c_str()));
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, dates, "(filled)"));

    // Filled once: a program that arrives later is dated when it is found
    // by the patrol, not by the start-up.
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxSecond", second.c_str());
    InitCategoryDetected();
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, dates, second.c_str());
    // A store from a build without the mark (the database itself already
    // dated) gets the category's dates now.
    RegDeleteValueNamed(HKEY_CURRENT_USER, dates, "(filled)");
    InitDetected();
    InitCategoryDetected();
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, dates, second.c_str()));
    RegDeleteValueNamed(HKEY_CURRENT_USER, run, "VxFirst");
    RegDeleteValueNamed(HKEY_CURRENT_USER, run, "VxSecond");
}

// The patrol keeps a baseline between runs; whatever writes the key after
// it was read (a value changed in place, one added, the key deleted) is
// seen at the next run, on a key just written and on a settled one alike.
}  // namespace
