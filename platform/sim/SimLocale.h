#pragma once
// Test control of the sim locale: the ANSI code page (932 by default).
namespace sim {

void ResetLocale();
// 932 has the Shift-JIS lead bytes; any other page is treated as single-byte.
void SetAnsiCodePage(unsigned codePage);
unsigned AnsiCodePage();

}  // namespace sim
