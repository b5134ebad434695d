#pragma once
// Fills message templates ("%s" text, "%d" integer, "%%" a per cent sign) with arguments,
// left to right. Never printf: a template from a language file can never crash the program.
// Too few arguments fail with EPlainError; surplus arguments are ignored; any other "%x"
// is copied as it stands. "%s" takes either kind of argument; "%d" takes an integer or a
// text that is an integer text, anything else fails with EPlainError.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using TFormatArg = std::variant<int64_t, std::string>;

std::string FormatMessageText(const std::string &templ, const std::vector<TFormatArg> &args);
