#pragma once
// Small conversions and text routines shared by the core and the workbench: the shape tests
// for numbers, value <-> text, splitting and repeating texts, coordinates, and reading one
// value of a language file. Numbers are always written with "." and converted without any
// locale.

#include <string>

#include "vlm_Value.h"

class TIniFile;

bool IsIntegerText(const std::string &text);
bool IsRealText(const std::string &text);

// Text of a value: "" for empty, decimal integers, reals with at most 15 significant digits
// ("3.5", "1E-5", "1E15"), texts as they are, "True"/"False".
std::string ValueToText(const Value &value);
std::string RealToText(double value);

// A text that is an integer text becomes an integer, a real text a real; anything else is
// returned unchanged. A numeric-looking text that does not convert throws EConvertError.
Value NormalizeValue(const Value &value);

// Exact, locale-free conversions ("." is the decimal separator). False when the whole text
// is not a number of that kind or it is out of range.
bool TextToInt64(const std::string &text, int64_t &result);
bool TextToReal(const std::string &text, double &result);

bool SameCoords(const TArrayOfInteger &a, const TArrayOfInteger &b);
TArrayOfString SplitByChars(const std::string &text, const std::string &chars);
std::string SplitFirst(std::string &text, char c, bool remove);
std::string RepeatText(const std::string &text, int count);
bool CharInText(char c, const std::string &text);
std::string WithTrailingBackslash(const std::string &path);

// Reads one value (UTF-8). `value` receives what was read ("" when missing); the result is
// true exactly when that is not empty.
bool ReadLngString(const TIniFile &ini, const std::string &section, const std::string &key,
                   std::string &value);
