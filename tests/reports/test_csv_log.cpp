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
#include "support/scheduled_tasks.h"
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

// Every row nine fields wide: each field goes through the spreadsheet
// escaping (a Run value's name and command come back whole).  After the
// header lines and the column names, the sections in their order (delayed
// programs by their title); a comma in a file name becomes a blank.
TEST(CsvLog, PlantedSourcesComeBackWholeInTheirSections)
{
    const char* name = "Comma, \"hi\"\r\nCaf\xe9";
    vxtest::SetString(HKEY_CURRENT_USER, kRun, name, "C:\\a,b\\x.exe /go");
    vxtest::SetString(HKEY_CURRENT_USER, kRun, "Ordered", "C:\\Tools\\or,dered.exe");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay",
                      "C:\\Tools\\late.exe", "11");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Title",
                      "C:\\Tools\\late.exe", "Late Starter");
    ASSERT_TRUE(vxtest::CreateTask(L"Planted Task", L"C:\\task.exe"));
    std::vector<Row> rows = WriteInventory();
    RegDeleteValueNamed(HKEY_CURRENT_USER, kRun, "Ordered");
    RegDeleteValueNamed(HKEY_CURRENT_USER, kRun, name);
    for (const Row& row : rows)
        EXPECT_EQ(9u, row.size()) << row[0];
    const Row* named = RowTitled(rows, name);
    ASSERT_TRUE(named != NULL);
    EXPECT_EQ("HKCU", (*named)[0]);
    EXPECT_EQ("C:\\a,b\\x.exe /go", (*named)[6]);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ("Type", rows[2][0]);
    const Row* ordered = RowTitled(rows, "Ordered");
    ASSERT_TRUE(ordered != NULL);
    EXPECT_EQ(" or dered.exe", (*ordered)[3]);
    const Row* delayed = RowTitled(rows, "Late Starter");
    ASSERT_TRUE(delayed != NULL);
    EXPECT_EQ("Delayed Start", (*delayed)[0]);
    EXPECT_EQ("C:\\Tools\\late.exe", (*delayed)[6]);
    const char* const order[] = { "HKCU", "Delayed Start", "Active Tasks", "Services",
                                  "Scheduled Tasks" };
    size_t at = 3;
    for (const char* type : order) {
        while (at < rows.size() && rows[at][0] != type)
            at++;
        EXPECT_LT(at, rows.size()) << type;
    }
}

}  // namespace
