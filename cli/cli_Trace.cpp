#include "cli_Trace.h"

#include "vlm_Encoding.h"
#include "vlm_Utils.h"

std::string TCliTrace::Field(const std::string &core) {
    const std::string utf8 = Cp1250ToUtf8(core);
    std::string field;
    field.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\t': field += "\\t"; break;
        case '\n': field += "\\n"; break;
        case '\r': field += "\\r"; break;
        case '\\': field += "\\\\"; break;
        default: field += c;
        }
    }
    return field;
}

const char *TCliTrace::KindName(const Value &value) {
    switch (value.Kind()) {
    case vkEmpty: return "empty";
    case vkInteger: return "int";
    case vkReal: return "real";
    case vkText: return "text";
    case vkBoolean: return "bool";
    }
    return "empty";
}

void TCliTrace::Line(const std::string &line) {
    // Written by length: a text may hold a NUL byte (chr(0)), which must not cut the line.
    std::fwrite(line.data(), 1, line.size(), FOut);
    std::fputc('\n', FOut);
    std::fflush(FOut);
}

void TCliTrace::Before(int line, int column) {
    Line("before\t" + std::to_string(line) + "\t" + std::to_string(column));
}

void TCliTrace::Var(const std::string &name, const Value &value) {
    Line("var\t" + Field(name) + "\t" + KindName(value) + "\t" + Field(ValueToText(value)));
}

void TCliTrace::Elem(const std::string &name, const TArrayOfInteger &coords, const Value &value) {
    std::string list;
    for (size_t i = 0; i < coords.size(); ++i)
        list += (i ? "," : "") + std::to_string(coords[i]);
    Line("elem\t" + Field(name) + "\t" + list + "\t" + KindName(value) + "\t" + Field(ValueToText(value)));
}

void TCliTrace::Write(const std::string &text) { Line("write\t" + Field(text)); }

void TCliTrace::Read(const std::string &name) { Line("read\t" + Field(name)); }

void TCliTrace::Error(int code, int line, int column, const std::string &message) {
    Line("error\t" + std::to_string(code) + "\t" + std::to_string(line) + "\t" + std::to_string(column) + "\t" +
         Field(message));
}
