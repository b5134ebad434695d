#include "unt_AlgorithmFile.h"

#include <QFile>
#include <QSaveFile>

QStringList SplitAlgorithmLines(const QString &text, TLineBreak *lineBreak) {
    QStringList lines;
    bool sawCr = false, sawLf = false, sawCrLf = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            sawCrLf = true;
            ++i;
        } else if (c == u'\r') {
            sawCr = true;
        } else {
            sawLf = true;
        }
        start = i + 1;
    }
    lines.append(text.mid(start));
    if (lineBreak)
        *lineBreak = sawCr && !sawLf && !sawCrLf ? lbCr : sawLf && !sawCr && !sawCrLf ? lbLf : lbCrLf;
    return lines;
}

QStringList DecodeAlgorithmFile(const QByteArray &bytes, TAlgorithmFileFormat &format) {
    TDecodedText decoded = DecodeText(bytes.toStdString());
    format.Encoding = decoded.Encoding;
    return SplitAlgorithmLines(QString::fromStdString(decoded.Utf8), &format.LineBreak);
}

QByteArray EncodeAlgorithmFile(const QStringList &lines, TAlgorithmFileFormat &format) {
    // Joined with LF; EncodeText turns every break into the remembered one.
    std::string utf8 = lines.join(u'\n').toStdString();
    bool lossy = false;
    std::string bytes = EncodeText(utf8, format.Encoding, format.LineBreak, &lossy);
    if (lossy) {
        format.Encoding = teUtf8;
        bytes = EncodeText(utf8, format.Encoding, format.LineBreak);
    }
    return QByteArray::fromStdString(bytes);
}

QStringList ReadAlgorithmFile(const QString &fileName, TAlgorithmFileFormat &format) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("%1: %2").arg(fileName, file.errorString()).toStdString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("%1: %2").arg(fileName, file.errorString()).toStdString());
    return DecodeAlgorithmFile(bytes, format);
}

void WriteAlgorithmFile(const QString &fileName, const QStringList &lines, TAlgorithmFileFormat &format) {
    // The format changes only once the file is written, so a failed save keeps the old one.
    TAlgorithmFileFormat written = format;
    QByteArray bytes = EncodeAlgorithmFile(lines, written);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EFileError(QStringLiteral("%1: %2").arg(fileName, file.errorString()).toStdString());
    format = written;
}
