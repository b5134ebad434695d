// The message formatter: one pass over the template, arguments taken left to right.

#include "vlm_Format.h"

#include "vlm_Exceptions.h"
#include "vlm_Utils.h"

std::string FormatMessageText(const std::string &templ, const std::vector<TFormatArg> &args) {
    std::string out;
    out.reserve(templ.size() + 32);
    size_t next = 0;
    auto take = [&](char conversion) -> const TFormatArg & {
        if (next >= args.size())
            throw EPlainError("Format \"" + templ + "\": too few arguments for %" + conversion);
        return args[next++];
    };
    for (size_t i = 0; i < templ.size(); ++i) {
        char c = templ[i];
        if (c != '%' || i + 1 == templ.size()) {
            out += c;
            continue;
        }
        char conversion = templ[i + 1];
        if (conversion == '%') {
            out += '%';
        } else if (conversion == 's') {
            const TFormatArg &arg = take(conversion);
            out += std::holds_alternative<int64_t>(arg) ? std::to_string(std::get<int64_t>(arg))
                                                        : std::get<std::string>(arg);
        } else if (conversion == 'd') {
            const TFormatArg &arg = take(conversion);
            if (std::holds_alternative<int64_t>(arg)) {
                out += std::to_string(std::get<int64_t>(arg));
            } else if (IsIntegerText(std::get<std::string>(arg))) {
                out += std::get<std::string>(arg);
            } else {
                throw EPlainError("Format \"" + templ + "\": %d given the text \"" +
                                  std::get<std::string>(arg) + "\"");
            }
        } else {
            out += c;  // not ours: copied as it stands, the next character follows normally
            continue;
        }
        ++i;
    }
    return out;
}
