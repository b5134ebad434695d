#pragma once
// The two process-wide catalogues of message templates: compile and run errors (the index is
// the error code the user sees) and the evaluator's expression messages. Built-in texts are
// Czech (Windows-1250); a language file may replace any of them.

#include <array>
#include <string>

#include "vlm_Value.h"

constexpr int ErrorMessageCount = 23;
constexpr int ExpressionErrorMessageCount = 12;

extern std::array<std::string, ErrorMessageCount> ErrorMessages;
extern std::array<std::string, ExpressionErrorMessageCount> ExpressionErrorMessages;

void ResetErrorMessages();
// Overrides texts from section `section` of a language file; missing or empty keys keep the
// current text. Values are converted to Windows-1250.
void LoadErrorMessages(const std::string &fileName, const std::string &section);

// Formats a template of the catalogue with text arguments; EPlainError when the template
// asks for more arguments than given.
std::string FormatErrorMessage(int code, const TArrayOfString &args);
std::string FormatExpressionMessage(int index, const TArrayOfString &args);
