// The export of the settings: the script the system's own import reads
// back into an emptied registry, value for value and byte for byte; and
// what the user is told when the file cannot be written.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "explorer/export_settings.h"
#include "explorer/list_page_driver.h"
#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "reports/settings_export.h"
#include "support/vxtest.h"

namespace {

const char* const kUser = EXPORT_USER_TREE;
const char* const kMachine = EXPORT_MACHINE_TREE;

// Every value of a tree: "<root>\<key>|<name>" -> "<type>:<bytes>".
typedef std::map<std::string, std::string> Values;

void Walk(HKEY root, const std::string& path, Values* out)
{
    RegKey key;
    if (key.Open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    std::string name(40000, '\0'), data(100000, '\0');
    for (DWORD i = 0;; i++) {
        DWORD nameSize = (DWORD)name.size(), dataSize = (DWORD)data.size(), type = 0;
        if (RegEnumValueA(key, i, &name[0], &nameSize, NULL, &type, (BYTE*)&data[0],
                          &dataSize) != ERROR_SUCCESS)
            break;
        (*out)[path + "|" + name.substr(0, nameSize)] =
            std::to_string(type) + ":" + data.substr(0, dataSize);
    }
    char sub[1024];
    for (DWORD i = 0;; i++) {
        DWORD size = sizeof(sub);
        if (RegEnumKeyExA(key, i, sub, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        (*out)[path + "\\" + sub] = "<key>";
        Walk(root, path + "\\" + sub, out);
    }
}

Values Snapshot()
{
    Values v;
    Walk(HKEY_CURRENT_USER, kUser, &v);
    Walk(HKEY_LOCAL_MACHINE, kMachine, &v);
    return v;
}

void Set(HKEY root, const std::string& path, const std::string& name, DWORD type,
         const std::string& bytes)
{
    vxtest::SetValue(root, path.c_str(), name.c_str(), type, bytes.data(),
                     (DWORD)bytes.size());
}

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// The awkward names and texts, each planted as a name and as REG_SZ data.
void PlantAwkward(HKEY root, const std::string& path)
{
    const std::string texts[] = {
        "back\\slash", "quote\"d", "trailing\\", "tab\there", "[HKEY_LOCAL_MACHINE\\X]",
        "]", "a=b", "@", "caf\xe9 \xe0 \x80\xff", std::string(255, 'f'),
        std::string(1000, 'k'),
    };
    int n = 0;
    for (const std::string& t : texts) {
        Set(root, path, t, REG_SZ, Sz(t));
        Set(root, path, "line end " + std::to_string(n++), REG_SZ, Sz(t + "\r\n[x]\n" + t));
    }
    Set(root, path, std::string(16383, 'N'), REG_SZ, Sz("longest name"));
    Set(root, path, "", REG_SZ, Sz("the default"));
    Set(root, path, "cr", REG_SZ, Sz("a\rb"));
    Set(root, path, "20000", REG_SZ, Sz(std::string(20000, '\\')));
}

void PlantStore()
{
    vxtest::ResetStore();
    PlantAwkward(HKEY_CURRENT_USER, kUser);
    std::string deep = std::string(kUser) + "\\Delay\\Title\\Deep";
    PlantAwkward(HKEY_CURRENT_USER, deep);
    Set(HKEY_CURRENT_USER, std::string(kUser) + "\\Delay", "count", REG_SZ, Sz("3"));
    std::string m = std::string(kMachine) + "\\Vardex\\Run";
    Set(HKEY_LOCAL_MACHINE, m, "AUOptions", REG_DWORD, std::string("\x04\0\0\x80", 4));
    Set(HKEY_LOCAL_MACHINE, m, "expand", REG_EXPAND_SZ, Sz("%SystemRoot%\\x"));
    Set(HKEY_LOCAL_MACHINE, m, "multi", REG_MULTI_SZ, Sz(Sz("one") + Sz("t\"wo")));
    Set(HKEY_LOCAL_MACHINE, m, "binary", REG_BINARY, std::string(300, '\xa5'));
    Set(HKEY_LOCAL_MACHINE, m, "empty binary", REG_BINARY, "");
    Set(HKEY_LOCAL_MACHINE, m, "empty text", REG_SZ, Sz(""));
    Set(HKEY_LOCAL_MACHINE, m, "unended", REG_SZ, "ab");
    Set(HKEY_LOCAL_MACHINE, m, "none", REG_NONE, "\x01\x02");
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, (std::string(kMachine) + "\\Empty").c_str());
}

const std::string kScript = "C:\\Vardex\\export-test.reg";

// Compares value by value, so a failure names the value.
void ExpectSame(const Values& before, const Values& after)
{
    for (const auto& v : before) {
        auto found = after.find(v.first);
        ASSERT_TRUE(found != after.end()) << v.first.substr(0, 120);
        EXPECT_EQ(found->second, v.second) << v.first.substr(0, 120);
    }
    EXPECT_EQ(after.size(), before.size());
}

// Exported, the trees emptied, imported by the system's own program (as a
// click on the file does).
TEST(ExportRoundTrip, ImportGivesBackEveryValue)
{
    PlantStore();
    Values before = Snapshot();
    ASSERT_GT(before.size(), 50u);
    ExportOutcome outcome;
    ASSERT_EQ(WriteSettingsScript(kScript.c_str(), &outcome), 1);
    EXPECT_EQ(outcome.Unwritable, 0);
    vxtest::ResetStore();
    ASSERT_EQ(Snapshot().size(), 0u);
    ASSERT_EQ(vxtest::RunProgram("regedit.exe /s " + kScript, 60000), 0);
    ExpectSame(before, Snapshot());
}

// A read-only file is told and kept.  Written, the message names the file
// and a value a registry file cannot hold (a name with a line end); again,
// the file is replaced.  A missing machine tree gets its key line only.
TEST(ExportSettings, MessagesNameTheFileAndWhatWasLeftOut)
{
    vxtest::ResetStore();
    vxtest::SetString(HKEY_CURRENT_USER, kUser, "two\nlines", "x");
    vxtest::SetString(HKEY_CURRENT_USER, kUser, "kept", "y");
    char path[MAX_PATH];
    ASSERT_GT(ExportFileName(path, sizeof(path)), 0);
    vxtest::WriteFileBytes(path, "old");
    SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    int written = 1;
    std::vector<page_test::Box> boxes =
        page_test::WithBoxes({}, [&] { written = ExportSettings(NULL); });
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(written, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("could not be saved"), std::string::npos);
    EXPECT_NE(boxes[0].text.find(path), std::string::npos);
    EXPECT_EQ(vxtest::ReadFileText(path), "old");
    for (int i = 0; i < 2; i++)
        boxes = page_test::WithBoxes({}, [&] { written = ExportSettings(NULL); });
    EXPECT_EQ(written, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(std::string(path) + "\n"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("have been saved"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("Except for 1 values"), std::string::npos);
    EXPECT_NE(boxes[0].text.find(std::string(kUser) + "\\two\nlines"), std::string::npos);
    std::string text = vxtest::ReadFileText(path);
    EXPECT_EQ(text.find("Windows Registry Editor Version 5.00\r\n\r\n"), 0u);
    EXPECT_EQ(text.find("Windows Registry", 1), std::string::npos);
    std::string tail = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillon]\r\n\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(ExportSettings, UnwritablePlacesFail)
{
    ExportOutcome outcome;
    EXPECT_EQ(WriteSettingsScript("Z:\\dev\\full", &outcome), 0);
    EXPECT_EQ(outcome.Error, (DWORD)ERROR_DISK_FULL);
    EXPECT_EQ(WriteSettingsScript("C:\\no such folder\\x.reg", &outcome), 0);
    EXPECT_EQ(outcome.Error, (DWORD)ERROR_PATH_NOT_FOUND);
}

}  // namespace
