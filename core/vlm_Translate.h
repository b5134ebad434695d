#pragma once
// Two transformations of algorithm text (Windows-1250, lines joined by CR LF) with a keyword
// set: translation into the other vocabulary, and the code formatter. Neither changes the
// inside of string literals or comments. An unclosed string literal stops both before any
// result exists: the keyword set's error hook is called (or EPlainError "Unclosed string" is
// thrown without one), and the caller's text and the set's mode stay unchanged.

#include <string>

class TKeyWords;

// Returns the text in the other vocabulary and switches keyWords.PseudoMode.
std::string TranslateVocabulary(TKeyWords &keyWords, const std::string &text);

// Returns the re-laid-out text.
std::string FormatCode(const TKeyWords &keyWords, const std::string &text);
