#pragma once
// Algorithm files (.vlm) as the workbench reads and writes them. Each editor line is one text
// line. A file is read as UTF-8 when its bytes are valid UTF-8 (a BOM is dropped and
// remembered), else as Windows-1250; its kind of line break is remembered too, so a file with
// one kind of break is written back byte for byte. New documents are written as UTF-8 with
// CR LF. A document never loses a character on saving: when its encoding cannot hold what the
// user typed, it is written as UTF-8 instead.

#include <stdexcept>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "vlm_Encoding.h"

// How a document goes back to disk.
struct TAlgorithmFileFormat {
    TTextEncoding Encoding = teUtf8;
    TLineBreak LineBreak = lbCrLf;

    bool operator==(const TAlgorithmFileFormat &) const = default;
};

// A file that exists but cannot be read or written; what() is the system's reason.
struct EFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Splits text at CR LF, lone LF and lone CR; text ending in a break gives a final empty line.
// `lineBreak` (when given) receives the kind found: CR when only CR was seen, LF when only LF,
// CR LF otherwise (CR LF, mixed, or no break at all).
QStringList SplitAlgorithmLines(const QString &text, TLineBreak *lineBreak = nullptr);

// The bytes of a file as lines, and the format to write them back in.
QStringList DecodeAlgorithmFile(const QByteArray &bytes, TAlgorithmFileFormat &format);

// The lines joined with the format's break (none after the last line) and encoded. A
// Windows-1250 document holding a character that code page lacks is encoded as UTF-8, and
// `format.Encoding` becomes teUtf8 so the document stays UTF-8 from then on.
QByteArray EncodeAlgorithmFile(const QStringList &lines, TAlgorithmFileFormat &format);

// Whole-file reading and writing; both throw EFileError. Writing goes through a temporary
// file, so a failed save never leaves the old file half-written.
QStringList ReadAlgorithmFile(const QString &fileName, TAlgorithmFileFormat &format);
void WriteAlgorithmFile(const QString &fileName, const QStringList &lines, TAlgorithmFileFormat &format);
