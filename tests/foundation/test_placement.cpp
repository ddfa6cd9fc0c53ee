// Saved window positions: written and read back as REG_SZ decimal values,
// and windows whose saved place is off the screen or incomplete brought back.
#include "support/vxtest.h"

#include "foundation/placement.h"
#include "foundation/registry_store.h"

namespace {

class Placement : public testing::Test {
protected:
    void SetUp() override { vxtest::ResetStore(); }
};

const PlacementNames kAlertNames = { "xPosAlert", "yPosAlert", "dxAlert", "dyAlert" };

// A plain window of a class of our own (the manifest of the test programs
// maps the system's control classes to a common-controls library that is
// not loaded here).
HWND MakeWindow()
{
    WNDCLASSA wc = { 0, DefWindowProcA, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL,
                     "VxPlacementTest" };
    RegisterClassA(&wc);
    return CreateWindowA("VxPlacementTest", "placement", WS_POPUP, 100, 120, 300, 200, NULL,
                         NULL, GetModuleHandleA(NULL), NULL);
}

TEST_F(Placement, RoundTripKeepsTheSize)
{
    HWND w = MakeWindow();
    ASSERT_TRUE(w != NULL) << GetLastError();
    SaveWindowPlacement(w, kAlertNames);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "100");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "120");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "dxAlert", "300");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "dyAlert", "200");
    // Saving rewrites "StartTab", which raises "Update".
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "0");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");

    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "40");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "50");
    RestoreWindowPlacement(w, kAlertNames);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(50, r.top);
    EXPECT_EQ(300, r.right - r.left);
    DestroyWindow(w);
}

TEST_F(Placement, OffScreenOrMissingIsBroughtBack)
{
    HWND w = MakeWindow();
    ASSERT_TRUE(w != NULL) << GetLastError();
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "99999");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "99999");
    RestoreWindowPlacement(w, kAlertNames);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2, r.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2, r.top);

    // Only x saved: centred, a third of the free height from the top.
    vxtest::ResetStore();
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "10");
    RestoreWindowPlacement(w, kAlertNames);
    GetWindowRect(w, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 300) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 200) / 3, r.top);
    DestroyWindow(w);
}

}  // namespace
