// What goes into the files the reports write, as text: HTML text, the
// fields of a comma-separated and of a tab-separated file, the scan log's
// line rule, its HOSTS line rule and the dates of its header.  Names and
// commands come from whoever planted the entry, so every function here
// makes the text safe for its file: it can neither end a line, nor open a
// tag, nor start a spreadsheet formula.
//
// The escapers stream into a TextSink, so no text is ever cut: the file
// writer (report_file.h) is one sink, a test's string another.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// Where escaped text goes.  Put receives runs of bytes (no terminating
// zero); a sink remembers its own failures.
class TextSink {
public:
    virtual void Put(const char* data, size_t length) = 0;
    void Put(const char* text);

protected:
    ~TextSink() {}
};

// Text for an HTML page, inside an element or inside a quoted attribute:
// "&" "<" ">" '"' and "'" become entities, every control byte (below 32,
// and 127) a blank.  Bytes above 127 stay: the page declares its code page.
// A NULL text puts nothing.
void PutHtmlText(TextSink& out, const char* text);

// One field of a comma-separated file, as spreadsheets read it back: a
// field holding a comma, a double quote, a CR or an LF is put in double
// quotes with its quotes doubled; leading blanks are kept.  A field whose
// first character after its leading blanks is "=", "+", "-", "@" or a tab
// gets a "'" in front, so that no spreadsheet takes it for a formula.
void PutCsvField(TextSink& out, const char* text);

// One field of a tab-separated file: tabs, line ends and every other
// control byte become blanks.
void PutTabField(TextSink& out, const char* text);

// Text within one line of the scan log: every control byte (below 32, and
// 127) becomes a blank, so that no value can end its line or forge another.
void PutLogText(TextSink& out, const char* text);

// Longest HOSTS line the scan log lists (shorter lines only), and the room
// HostsLogLine needs.
#define HOSTS_LOG_LINE 500

// The scan log's rule for one line of the HOSTS file (length bytes, which
// may hold any byte, NUL included, and no line end): tabs become blanks,
// other control bytes are dropped, and the line is listed when what is
// left is longer than 4 and shorter than HOSTS_LOG_LINE characters, is no
// comment (its first non-blank character is not "#"), and its address (the
// first word) is not exactly "127.0.0.1", "::1" or "0.0.0.0".  Returns 1
// with the cleaned line in out; 0 with out "" otherwise (also when outSize
// is below HOSTS_LOG_LINE).
int HostsLogLine(const char* line, size_t length, char* out, size_t outSize);

// The header dates of the scan log and the reports, from given fields:
// the time "%2d:%02d:%02d %s" on the 12-hour clock (0 and 12 shown as 12,
// "AM" before noon, "PM" from noon) and the date "%2d/%02d/%4d" (month,
// day, year).  Fields out of range are written as they are, hours taken
// modulo 24.  out holds LOG_DATE_TEXT; returns the length stored.
#define LOG_DATE_TEXT 32
size_t FormatLogTime(int hour, int minute, int second, char* out, size_t outSize);
size_t FormatLogDate(int month, int day, int year, char* out, size_t outSize);
