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
// A real is rounded from its exact binary value to 15 significant digits, halves away from
// zero; then, with e the exponent of the 0.d1d2... form, it is written in scientific form
// when e > 15 or e < -3, else in fixed form; no trailing zeros. Negative zero gives "0";
// infinities and NaN (never values of the language) give "INF", "-INF" and "NAN".
std::string RealToText(double value);

// A text that is an integer text becomes an integer, a real text a real; anything else is
// returned unchanged. A numeric-looking text that does not convert throws EConvertError.
Value NormalizeValue(const Value &value);

// Exact, locale-free conversions ("." is the decimal separator). False when the whole text
// is not a number of that kind or it is out of range; `result` is then left alone.
// TextToInt64 takes the integer-text shape only (an optional "-", then digits).
// TextToReal takes blanks around an optional sign, digits with at most one "." (one digit
// at least), and an optional exponent (E or e, an optional sign, digits); it gives the
// nearest double, and 0 for a value too small to represent.
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
