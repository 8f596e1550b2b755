// Shift-JIS character tests and counting, string length repair, substrings, number text and
// the transfer of dialog-item texts.
#pragma once

#include <string>

#include "platform/win_types.h"

// 1 when p[0] is a lead byte and p[1] a trail byte.
int IsSjisDoubleByte(const char* p);
// Characters of a Shift-JIS text: a double-byte character counts one, a line feed none.
int CountChars(const char* text);
// Cuts the string at its first NUL; returns the new length.
int FixStringLength(std::string& s);
// Part of `s` with clamping: a negative pos shortens count, a pos beyond the end or a count of 0
// (or less) gives "". A non-empty part first cuts `s` at its first NUL, which the caller sees.
std::string SubString(std::string& s, int pos, int count);

// Decimal text of `value`: the last `width` digits of its magnitude (width raised to the digit
// count when 0 or less); without zeroPad leading zeros but the last become blanks; "-" before a
// negative value, with plusSign "+" before one of 0 or more.
void FormatNumber(std::string& out, int value, int width, bool zeroPad, bool plusSign);

// Dialog-item texts. The dialog framework installs the two functions that reach its controls;
// until then every item reads as "".
using DlgItemTextGetter = bool (*)(HWND hDlg, int nID, std::string* pText);
using DlgItemTextSetter = bool (*)(HWND hDlg, int nID, const char* text);
void SetDlgItemTextFunctions(DlgItemTextGetter getter, DlgItemTextSetter setter);

constexpr int DLG_ITEM_TEXT_MAX = 5120;
// The item's text cut to fit cchMax bytes with its NUL (cchMax at most 5120); a double-byte
// character is never cut in half.
void GetDlgItemString(HWND hDlg, int nID, std::string& str, int cchMax);
void SetDlgItemString(HWND hDlg, int nID, const std::string& str);
