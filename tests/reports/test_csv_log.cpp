// The inventory against Wine's real registry: Run values with names a
// planter chose are listed, and a reader that splits the file as a
// spreadsheet does gets every row nine fields wide and every name back.
#include <string>
#include <vector>

#include "foundation/registry_store.h"
#include "reports/report_file.h"
#include "reports/scan_log.h"
#include "reports/scan_log_parts.h"
#include "support/report_reader.h"
#include "support/vxtest.h"

namespace {

const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

typedef std::vector<std::string> Row;

// Rows as a spreadsheet reads them; a malformed row ends the reading with
// a row that names the fault.
std::vector<Row> ReadCsv(const std::string& text)
{
    std::vector<Row> rows;
    size_t pos = 0;
    while (pos < text.size()) {
        Row row;
        if (!vxtest::ReadCsvRow(text, &pos, &row)) {
            rows.push_back(Row(1, "<malformed row>"));
            break;
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> WriteInventory()
{
    std::string path = vxtest::PathInProgramFolder("inventory.csv");
    ReportFile f;
    EXPECT_TRUE(f.Open(path.c_str()));
    PutCsvLog(f);
    EXPECT_TRUE(f.Close());
    return ReadCsv(vxtest::ReadFileText(path));
}

const Row* RowTitled(const std::vector<Row>& rows, const std::string& title)
{
    for (const Row& row : rows)
        if (row.size() > 2 && row[2] == title)
            return &row;
    return NULL;
}

TEST(CsvLog, HeaderLinesAndColumnNames)
{
    std::vector<Row> rows = WriteInventory();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(0u, rows[0][0].find("Log created by Vardex version "));
    EXPECT_EQ(0u, rows[1][0].find("Scan saved at "));
    EXPECT_NE(std::string::npos, rows[1][0].find(", on "));
    EXPECT_EQ("Type", rows[2][0]);
    EXPECT_EQ(" Version", rows[2][8]);
}

TEST(CsvLog, PlantedNamesComeBackWholeInRowsOfNineFields)
{
    const char* names[] = { "Comma, Inc", "Say \"hi\"", "Line\r\nEnd", "Caf\xe9 Cr\xe8me" };
    for (const char* name : names)
        vxtest::SetString(HKEY_CURRENT_USER, kRun, name, "C:\\planted.exe");
    vxtest::SetString(HKEY_CURRENT_USER, kRun, "=cmd|' /C calc'!A0", "C:\\a,b\\x.exe /go");
    std::vector<Row> rows = WriteInventory();
    for (const Row& row : rows)
        EXPECT_EQ(9u, row.size()) << row[0];
    for (const char* name : names) {
        const Row* row = RowTitled(rows, name);
        ASSERT_TRUE(row != NULL) << name;
        EXPECT_EQ("HKCU", (*row)[0]);
        EXPECT_EQ("Run", (*row)[1]);
        EXPECT_EQ(" planted.exe", (*row)[3]);
    }
    const Row* formula = RowTitled(rows, "'=cmd|' /C calc'!A0");
    ASSERT_TRUE(formula != NULL);
    EXPECT_EQ("C:\\a,b\\x.exe /go", (*formula)[6]);
    for (const char* name : names)
        RegDeleteValueNamed(HKEY_CURRENT_USER, kRun, name);
    RegDeleteValueNamed(HKEY_CURRENT_USER, kRun, "=cmd|' /C calc'!A0");
}

TEST(CsvLog, DelayedProgramsHaveTheirSection)
{
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay",
                      "C:\\Tools\\late.exe", "11");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Title",
                      "C:\\Tools\\late.exe", "Late Starter");
    std::vector<Row> rows = WriteInventory();
    const Row* row = RowTitled(rows, "Late Starter");
    ASSERT_TRUE(row != NULL);
    EXPECT_EQ("Delayed Start", (*row)[0]);
    EXPECT_EQ("C:\\Tools\\late.exe", (*row)[6]);
}

TEST(CsvLog, AFileThatCannotBeCreatedIsAFailure)
{
    EXPECT_EQ(0, WriteCsvLog("C:\\no such folder\\VardexLog.csv"));
}

}  // namespace
