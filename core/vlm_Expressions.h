#pragma once
// The evaluator of the internal expression form: literals, one-character operator codes and
// parentheses separated by blanks. Infix is turned into postfix with an operator stack, and
// the postfix text is evaluated with a value stack. Every failure is an EPlainError whose
// message is a formatted expression message (or a message about a malformed form).

#include <string>
#include <string_view>

#include "vlm_Value.h"

// Operator codes in Windows-1250 and their priorities (1 binds tightest).
constexpr char OperatorCodes[] = "!^*/\\#-+\xAB\xBB\x87<>=&|";
constexpr char OperatorPriorities[] = "1233334455555567";

// Read from the front of `text` (which loses what was read). True when an operand was read
// (in `token`); otherwise `op` is the operator character (a blank when nothing was read).
bool NextInfixToken(std::string_view &text, bool signAllowed, std::string &token, char &op);
std::string ToPostfix(std::string_view text);
bool NextPostfixToken(std::string_view &text, Value &operand, char &op);
Value EvaluatePostfix(std::string_view postfix);
Value EvaluateExpression(std::string_view text);
