#pragma once

#include "SysUtils.h"

#include <string>
#include <string_view>

// --- Fast paths for files of many numbers ----------------------------------
// Each gives exactly what the general conversion above gives, for the plain
// forms it knows (ASCII, no blanks, the default regional forms); false means
// "not decided here": the caller then takes the general conversion.
//
// A number field of the data or save file: every '.' read as ',' first
// (the field's '.' and ',' both stand for the decimal separator), then
// StrToFloat; decided only while that separator is ','.
bool FastPunktStrToFloat(std::string_view text, double& value);
// StrToTime of "h:n:s" and StrToDate of "d.m.yyyy" in the regional order.
bool FastStrToTime(std::string_view text, TDateTime& value);
bool FastStrToDate(std::string_view text, TDateTime& value);
// FloatToStr, TimeToStr and DateToStr appended as UTF-8.
bool FastFloatToStr(double value, std::string& out);
bool FastTimeToStr(TDateTime dt, std::string& out);
bool FastDateToStr(TDateTime dt, std::string& out);
