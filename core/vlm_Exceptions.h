#pragma once
// The three ways the core fails. A plain error carries a finished message (an expression
// message, "Unclosed string", a malformed internal form). A catalogue error is raised by the
// algorithm's error reporter after the error event was delivered; the pass absorbs it. A
// conversion error stands for a text that looks like a number but does not convert.

#include <stdexcept>
#include <string>

struct EPlainError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ECatalogueError : std::runtime_error {
    int Code;
    ECatalogueError(int code, const std::string &what) : std::runtime_error(what), Code(code) {}
};

struct EConvertError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
