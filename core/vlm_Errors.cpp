// The two catalogues: the built-in texts (written here in UTF-8 and converted once), their
// replacement from a language file, and formatting by code.

#include "vlm_Errors.h"

#include "vlm_Encoding.h"
#include "vlm_Exceptions.h"
#include "vlm_Format.h"
#include "vlm_Ini.h"
#include "vlm_Utils.h"

namespace {

// Index = error code.
const char *const BuiltInErrorMessages[ErrorMessageCount] = {
    "Není zadán žádný algoritmus",  // 0
    "Algoritmus musí začínat klíčovým slovem \"%s\" a končit \"%s\"",  // 1
    "Chybí operátor nebo středník",  // 2
    "Proměnná \"%s\" není v tuto chvíli definována",  // 3
    "\";\" nesmí předcházet klíčovému slovu \"%s\"",  // 4
    "Blok není uzavřen - ke klíčovému slovu \"%s\" neexistuje odpovídající \"%s\"",  // 5
    "Bylo očekáváno \"%s\" ale bylo nalezeno \"%s\"",  // 6
    "Závorka není uzavřena - k \"%s\" schází odpovídající \"%s\"",  // 7
    "Neznámý příkaz: \"%s\"",  // 8
    "Chyba při vyhodnocování výrazu: %s",  // 9
    "Prázdné závorky \"%s\"",  // 10
    "Byla očekávána celočíselná hodnota",  // 11
    "Hodnota pole \"%s\" se souřadnicemi [%s] není v tuto chvíli definována",  // 12
    "Došla paměť",  // 13
    "Neznámá chyba",  // 14
    "Chybí hodnota nebo výraz",  // 15
    "Hledané slovo \"%s\" nebylo nalezeno",  // 16
    "Byl očekáván název proměnné, ale bylo nalezeno \"%s\"",  // 17
    "\"%s\" je rezervované slovo",  // 18
    "Znak na pozici \"%s\" neexistuje",  // 19
    "Znak v textovém řetězci lze nahradit pouze jiným znakem",  // 20
    "Byly očekávány číselné hodnoty (%s)",  // 21
    "Neuzavřený textový řetězec",  // 22
};

const char *const BuiltInExpressionErrorMessages[ExpressionErrorMessageCount] = {
    "Nelze sečíst \"%s + %s\"",  // 0
    "Nelze vynásobit \"%s * %s\"",  // 1
    "Nelze odečíst \"%s - %s\"",  // 2
    "Nelze vydělit \"%s / %s\"",  // 3
    "Nelze celočíselně vydělit \"%s DIV %s\"",  // 4
    "Nelze určit zbytek po dělení \"%s MOD %s\"",  // 5
    "Nelze negovat hodnotu \"%s\"",  // 6
    "Nelze umocnit \"%s ^ %s\"",  // 7
    "Nelze aplikovat operátor and \"%s AND %s\"",  // 8
    "Nelze aplikovat operátor or \"%s OR %s\"",  // 9
    "Nelze porovnat hodnoty \"%s %s %s\"",  // 10
    "Hodnota je mimo rozsah \"%s\"",  // 11
};

template <size_t N>
std::array<std::string, N> BuiltIn(const char *const (&texts)[N]) {
    std::array<std::string, N> result;
    for (size_t i = 0; i < N; ++i) result[i] = Utf8ToCp1250(texts[i]);
    return result;
}

template <size_t N>
void LoadTexts(const TIniFile &ini, const std::string &section, const std::string &prefix,
               std::array<std::string, N> &texts) {
    for (size_t n = 0; n < N; ++n) {
        if (texts[n].empty()) continue;
        std::string value;
        if (ReadLngString(ini, section, prefix + std::to_string(n), value))
            texts[n] = Utf8ToCp1250(value);
    }
}

std::string Format(const std::string &templ, const TArrayOfString &args) {
    std::vector<TFormatArg> formatArgs(args.begin(), args.end());
    return FormatMessageText(templ, formatArgs);
}

}  // namespace

// Filled before any component exists, so a message can be formatted at any time.
std::array<std::string, ErrorMessageCount> ErrorMessages = BuiltIn(BuiltInErrorMessages);
std::array<std::string, ExpressionErrorMessageCount> ExpressionErrorMessages =
    BuiltIn(BuiltInExpressionErrorMessages);

void ResetErrorMessages() {
    ErrorMessages = BuiltIn(BuiltInErrorMessages);
    ExpressionErrorMessages = BuiltIn(BuiltInExpressionErrorMessages);
}

void LoadErrorMessages(const std::string &fileName, const std::string &section) {
    TIniFile ini(fileName);
    if (!ini.Exists()) return;
    LoadTexts(ini, section, "Error.", ErrorMessages);
    LoadTexts(ini, section, "ExpressionError.", ExpressionErrorMessages);
}

std::string FormatErrorMessage(int code, const TArrayOfString &args) {
    if (code < 0 || code >= ErrorMessageCount)
        throw EPlainError("Unknown error code " + std::to_string(code));
    return Format(ErrorMessages[code], args);
}

std::string FormatExpressionMessage(int index, const TArrayOfString &args) {
    if (index < 0 || index >= ExpressionErrorMessageCount)
        throw EPlainError("Unknown expression message " + std::to_string(index));
    return Format(ExpressionErrorMessages[index], args);
}
