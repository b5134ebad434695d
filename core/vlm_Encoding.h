#pragma once
// The one place where text crosses between the outside world (UTF-8 files, terminals, Qt)
// and the core, which works on Windows-1250 bytes: one character is one byte, so positions
// and columns stay simple. A character Windows-1250 cannot hold becomes the placeholder
// byte 0x98; the code points it stood for are kept in order so a host can put them back.

#include <string>
#include <vector>

constexpr unsigned char PlaceholderByte = 0x98;

// Windows-1250 case mapping of every letter of the code page, without any C locale.
char LowerChar1250(char c);
char UpperChar1250(char c);
std::string LowerCase1250(const std::string &s);
std::string UpperCase1250(const std::string &s);

bool IsValidUtf8(const std::string &bytes);

// UTF-8 -> Windows-1250. Unmappable characters become PlaceholderByte; when `placeholders`
// is given, their code points are appended to it in order. Invalid UTF-8 sequences are
// taken as U+FFFD (so they become placeholders too).
std::string Utf8ToCp1250(const std::string &utf8, std::vector<char32_t> *placeholders = nullptr);

// Windows-1250 -> UTF-8. Each PlaceholderByte is replaced by the next code point of
// `placeholders` while there are any, then by U+FFFD.
std::string Cp1250ToUtf8(const std::string &cp1250, const std::vector<char32_t> &placeholders = {});

enum TTextEncoding { teUtf8, teUtf8Bom, teCp1250 };
enum TLineBreak { lbCrLf, lbLf, lbCr };

// A file's bytes decoded for editing: text as UTF-8 with its own line breaks untouched,
// plus what is needed to write it back the same way.
struct TDecodedText {
    std::string Utf8;
    TTextEncoding Encoding = teUtf8;
    TLineBreak LineBreak = lbCrLf;  // the first line break found; CR LF when there is none
};

// Valid UTF-8 (a BOM is dropped and remembered) is read as UTF-8, anything else as Windows-1250.
// The bytes Windows-1250 leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) read as the C1 control
// of the same number, so such a file is written back byte for byte.
TDecodedText DecodeText(const std::string &bytes);

// Turns UTF-8 text back into file bytes: every line break becomes `lineBreak`, the text is
// encoded as `encoding`. When the encoding is Windows-1250 and a character cannot be held,
// `lossy` (if given) is set to true; the caller must not write such a result unasked.
std::string EncodeText(const std::string &utf8, TTextEncoding encoding, TLineBreak lineBreak,
                       bool *lossy = nullptr);

// The core's view of a document: lines split at CR LF, LF or CR, joined with CR LF, converted
// to Windows-1250 (placeholders recorded in `placeholders` when given).
std::string DocumentToCore(const std::string &utf8, std::vector<char32_t> *placeholders = nullptr);

// The lines of a core text (split at CR LF, LF or CR; n line breaks give n + 1 lines, so
// the empty text is one empty line), converted back to UTF-8.
std::vector<std::string> CoreToLines(const std::string &cp1250, const std::vector<char32_t> &placeholders = {});
