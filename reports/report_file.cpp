// One report file written through a buffer (see report_file.h).
#include "reports/report_file.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "foundation/paths.h"
#include "foundation/text.h"

ReportFile::ReportFile() : file_(NULL), failed_(false), error_(0), used_(0) {}

ReportFile::~ReportFile() { Close(); }

bool ReportFile::Open(const char* path)
{
    Close();
    failed_ = false;
    error_ = 0;
    used_ = 0;
    if (path == NULL || path[0] == '\0') {
        Fail(ERROR_INVALID_NAME);
        return false;
    }
    file_.Reset(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file_.IsValid()) {
        Fail(GetLastError());
        file_.Reset(NULL);
        SetLastError(error_);
        return false;
    }
    return true;
}

// Keeps the first failure: everything after it is lost anyway.
void ReportFile::Fail(DWORD error)
{
    if (!failed_)
        error_ = error != 0 ? error : ERROR_WRITE_FAULT;
    failed_ = true;
}

// Writes length bytes straight to the file; a short or failed write marks
// the file as failed and drops the rest.
void ReportFile::WriteOut(const char* data, size_t length)
{
    while (length > 0 && !failed_) {
        DWORD written = 0;
        DWORD chunk = length > 0x10000000 ? 0x10000000 : (DWORD)length;
        if (!WriteFile(file_.Get(), data, chunk, &written, NULL))
            Fail(GetLastError());
        else if (written == 0)
            Fail(ERROR_WRITE_FAULT);
        data += written;
        length -= written;
    }
}

bool ReportFile::Flush()
{
    WriteOut(buffer_, used_);
    used_ = 0;
    return !failed_;
}

void ReportFile::Put(const char* data, size_t length)
{
    if (!file_.IsValid()) {
        Fail(ERROR_INVALID_HANDLE);
        return;
    }
    if (failed_ || length == 0)
        return;
    if (used_ + length > sizeof(buffer_) && !Flush())
        return;
    if (length > sizeof(buffer_)) {
        WriteOut(data, length);  // larger than the whole buffer
        return;
    }
    memcpy(buffer_ + used_, data, length);
    used_ += length;
}

void ReportFile::WriteLine(const char* text)
{
    TextSink::Put(text);
    EndLine();
}

void ReportFile::Format(const char* format, ...)
{
    char small[1024];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int needed = vsnprintf(NULL, 0, format, args);
    va_end(args);
    if (needed < 0) {
        Fail(ERROR_INVALID_PARAMETER);
    } else if ((size_t)needed < sizeof(small)) {
        size_t n = TextFormatV(small, sizeof(small), format, again);
        Put(small, n);
    } else {
        char* large = (char*)malloc((size_t)needed + 1);
        if (large == NULL) {
            Fail(ERROR_NOT_ENOUGH_MEMORY);
        } else {
            size_t n = TextFormatV(large, (size_t)needed + 1, format, again);
            Put(large, n);
            free(large);
        }
    }
    va_end(again);
}

bool ReportFile::Close()
{
    if (!file_.IsValid())
        return false;
    Flush();
    if (!file_.Close())
        Fail(GetLastError());
    return !failed_;
}

int WriteInOwnFolder(const char* fileName, int (*write)(const char* path), char* path,
                     size_t pathSize)
{
    char folders[2][VX_PATH];
    GetProgramFolder(folders[0]);
    GetAppDataFolder(folders[1]);
    DWORD error = ERROR_BAD_PATHNAME;
    for (int i = 0; i < 2; i++) {
        const char* folder = folders[i];
        if (folder[0] != '\0' && strlen(folder) + 1 + strlen(fileName) < pathSize) {
            TextCopy(path, pathSize, folder);
            TextAppend(path, pathSize, "\\");
            TextAppend(path, pathSize, fileName);
            if (write(path))
                return 1;
        }
        if (i == 0)
            error = GetLastError();
    }
    TextCopy(path, pathSize, "");
    SetLastError(error);
    return 0;
}
