#pragma once
// The keyword set: the fixed English code vocabulary and the user's pseudocode vocabulary,
// which one is active, the character classes, and the word scanner every reader of
// algorithm text uses. All texts are Windows-1250 bytes; positions are 1-based.

#include <array>
#include <functional>
#include <string>

#include "vlm_Value.h"

enum TWordKind {
    wkIf, wkThen, wkElse, wkFor, wkOd, wkTo, wkDo, wkWhile, wkBegin, wkEnd,
    wkRead, wkWrite, wkSleep, wkOr, wkAnd, wkDiv, wkMod, wkTrue, wkFalse, wkNot,
    wkRelation, wkString, wkComment, wkConstFunction, wkFunction, wkOther
};
constexpr int WordKindCount = 26;

enum TCharClass { ccBlank, ccDelimiter, ccWordChar, ccOther };

using TWords = std::array<std::string, WordKindCount>;

// Reports an error (code, arguments, position) and does not return: it throws.
using TKeyWordsErrorHook = std::function<void(int code, const TArrayOfString &args, int position)>;

class TKeyWords {
public:
    TKeyWords();

    TWords CodeWords;
    TWords PseudoWords;
    bool PseudoMode = true;
    TKeyWordsErrorHook OnError;

    const std::string &csWordChars() const { return FWordChars; }
    void SetcsWordChars(const std::string &chars);

    // The skw properties: the pseudocode word of a keyword slot; setting lower-cases it.
    // Only keyword slots (wkIf to wkNot) have the property; other kinds throw std::out_of_range.
    const std::string &skw(TWordKind kind) const { return PseudoWords[kind]; }
    void Setskw(TWordKind kind, const std::string &word);

    void Assign(const TKeyWords &source);  // copies everything but the hook

    TWordKind WordKind(const std::string &word) const;
    std::string KeyWord(TWordKind kind) const;
    static bool IsKeyWordKind(TWordKind kind) { return kind >= wkIf && kind <= wkNot; }
    TCharClass CharClass(char c) const { return FClasses[static_cast<unsigned char>(c)]; }

    // Reads the next word at or after `pos` and moves `pos` past it; the empty word at the end.
    // An unclosed literal goes to OnError (code 22 at the quote); should the hook return, or
    // without a hook, it throws EPlainError("Unclosed string").
    std::string ReadWord(const std::string &text, int &pos, bool keepComments) const;

    bool IsIdentifier(const std::string &word) const;
    void GetKeyWordList(TArrayOfString &list) const;
    bool SamePseudoWords(const TKeyWords *other) const;
    bool LoadFromLanguageFile(const std::string &fileName);

    // The language-file key of a keyword slot ("od" for the slot whose code word is ":=").
    static std::string LanguageFileKey(TWordKind kind);

private:
    void RebuildClasses();

    std::string FWordChars;
    std::array<TCharClass, 256> FClasses{};
};
