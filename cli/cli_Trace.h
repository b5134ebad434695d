#pragma once
// The --trace output: one line per event of a check or run, fields separated by tabs, texts
// converted to UTF-8 with tab, line feed, carriage return and backslash escaped.

#include <cstdio>
#include <string>

#include "vlm_Value.h"

class TCliTrace {
public:
    explicit TCliTrace(std::FILE *out) : FOut(out) {}

    void Before(int line, int column);
    void Var(const std::string &name, const Value &value);
    void Elem(const std::string &name, const TArrayOfInteger &coords, const Value &value);
    void Write(const std::string &text);
    void Read(const std::string &name);
    void Error(int code, int line, int column, const std::string &message);

    // Core text (Windows-1250) as an escaped UTF-8 field.
    static std::string Field(const std::string &core);
    static const char *KindName(const Value &value);

private:
    void Line(const std::string &line);
    std::FILE *FOut;
};
