// Saved window positions: written and read back as REG_SZ decimal values,
// and windows whose saved place is off the screen or incomplete brought back.
#include "support/vxtest.h"

#include <string>

#include "foundation/placement.h"
#include "foundation/registry_store.h"

namespace {

TEST(Placement, SavedRestoredWithItsSizeOrBroughtBackOnScreen)
{
    vxtest::ResetStore();
    // A plain window of a class of our own (the manifest of the test programs
    // maps the system's control classes to a common-controls library that is
    // not loaded here).
    WNDCLASSA wc = {
        0, DefWindowProcA, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL, "VxPlacementTest"};
    RegisterClassA(&wc);
    HWND w = CreateWindowA(
        "VxPlacementTest", "", WS_POPUP, 100, 120, 300, 200, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(w != NULL) << GetLastError();
    const PlacementNames names = { "xPosAlert", "yPosAlert", "dxAlert", "dyAlert" };
    SaveWindowPlacement(w, names);
    std::string saved;
    for (const char* name : { names.x, names.y, names.dx, names.dy })
        saved += vxtest::ReadString(HKEY_CURRENT_USER, VX_KEY, name) + " ";
    EXPECT_EQ("100 120 300 200 ", saved);
    // Saving rewrites "StartTab", which raises "Update".
    EXPECT_EQ("0 1", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab") + " " +
                         vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update"));

    // The saved place, the size kept; a place beyond the screen becomes half
    // the screen; with only x saved ("" reads as missing), centred, a third
    // of the free height from the top.
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    const struct { const char* x; const char* y; int left, top; } cases[] = {
        { "40", "50", 40, 50 }, { "99999", "99999", cx / 2, cy / 2 },
        { "10", "", (cx - 300) / 2, (cy - 200) / 3 },
    };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, names.x, c.x);
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, names.y, c.y);
        RestoreWindowPlacement(w, names);
        RECT r;
        GetWindowRect(w, &r);
        EXPECT_EQ(std::to_string(c.left) + "," + std::to_string(c.top) + " 300x200",
            std::to_string(r.left) + "," + std::to_string(r.top) + " "
                + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top))
            << c.x;
    }
    DestroyWindow(w);
}

}  // namespace
