// One report file, written through a buffer: the scan log, the
// comma-separated inventory and the reports all go out through it.  The
// file is created anew (an older one is overwritten) and closed by the
// object at the latest when it goes out of scope; Close tells whether every
// byte reached the file (the close included), so that no writer reports a
// success it did not have, and Error why not.
#pragma once
#include <stdarg.h>
#include <stddef.h>

#include "foundation/handles.h"
#include "reports/report_text.h"

class ReportFile : public TextSink {
public:
    ReportFile();
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Creates path anew for writing.  Returns false, with the last error
    // of the failed create kept, when it cannot; every write then fails.
    bool Open(const char* path);
    bool IsOpen() const { return file_.IsValid(); }

    // Writes bytes, text, text and CR LF, or a line ending alone.  A write
    // into a file that is not open, or after a failed write, is lost and
    // makes Close report the failure.
    void Put(const char* data, size_t length) override;
    using TextSink::Put;
    void WriteLine(const char* text);
    void EndLine() { Put("\r\n", 2); }

    // printf-style text of any length (the format a literal of this
    // program; values go in as arguments, never as the format).
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Writes what is buffered and closes the file.  Returns true only when
    // the file was open, every byte was written and the close succeeded.
    bool Close();

    // The first failure's error code: of the create, a write or the close
    // (ERROR_NOT_ENOUGH_MEMORY for a text that found no memory,
    // ERROR_INVALID_HANDLE for a write into a file never opened); 0 while
    // every call worked.
    DWORD Error() const { return error_; }

private:
    bool Flush();
    void WriteOut(const char* data, size_t length);
    void Fail(DWORD error);

    FileHandle file_;
    bool failed_;
    DWORD error_;
    size_t used_;
    char buffer_[32768];
};

// Writes <folder>\<fileName> with write (1 when it worked), first in the
// program folder, else in the user's application-data folder.  Returns 1
// with the written file's path in path; 0 with path "" when neither took
// it (a folder whose path would not fit counts as one that did not), the
// program folder's error then in GetLastError.
int WriteInOwnFolder(const char* fileName, int (*write)(const char* path), char* path,
                     size_t pathSize);
