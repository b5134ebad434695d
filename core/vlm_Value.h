#pragma once
// The tagged value of the algorithm language: empty, 64-bit integer, 64-bit real,
// text (Windows-1250 bytes) or boolean, plus the dynamic arrays the core passes around.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

enum TValueKind { vkEmpty, vkInteger, vkReal, vkText, vkBoolean };

struct Value {
    std::variant<std::monostate, int64_t, double, std::string, bool> data;

    Value() = default;
    Value(int64_t v) : data(v) {}
    Value(int v) : data(int64_t(v)) {}
    Value(double v) : data(v) {}
    Value(std::string v) : data(std::move(v)) {}
    Value(const char *v) : data(std::string(v)) {}
    Value(bool v) : data(v) {}

    TValueKind Kind() const { return TValueKind(data.index()); }
    bool IsEmpty() const { return Kind() == vkEmpty; }
    bool IsInteger() const { return Kind() == vkInteger; }
    bool IsReal() const { return Kind() == vkReal; }
    bool IsNumber() const { return IsInteger() || IsReal(); }
    bool IsText() const { return Kind() == vkText; }
    bool IsBoolean() const { return Kind() == vkBoolean; }

    int64_t AsInteger() const { return std::get<int64_t>(data); }
    double AsReal() const { return std::get<double>(data); }
    const std::string &AsText() const { return std::get<std::string>(data); }
    bool AsBoolean() const { return std::get<bool>(data); }

    bool operator==(const Value &other) const = default;
};

using TArrayOfString = std::vector<std::string>;
using TArrayOfInteger = std::vector<int32_t>;
using TArrayOfVariant = std::vector<Value>;
