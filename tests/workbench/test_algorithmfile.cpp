// The algorithm file format: what is read, what is remembered, and that a file with one kind
// of line break comes back byte for byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "unt_AlgorithmFile.h"

namespace {

struct RoundTripCase {
    const char *name;
    QByteArray bytes;
    QStringList lines;
    TAlgorithmFileFormat format;
};

// "začátek" and "konec" in each encoding.
const QByteArray ZacatekUtf8 = "za\xC4\x8D\xC3\xA1tek";
const QByteArray Zacatek1250 = "za\xE8\xE1tek";
const QByteArray Bom = "\xEF\xBB\xBF";

class AlgorithmFileRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(AlgorithmFileRoundTrip, ReadsLinesAndFormatAndWritesTheSameBytes) {
    const RoundTripCase &c = GetParam();
    TAlgorithmFileFormat format;
    QStringList lines = DecodeAlgorithmFile(c.bytes, format);
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(format.Encoding, c.format.Encoding);
    EXPECT_EQ(format.LineBreak, c.format.LineBreak);
    EXPECT_EQ(EncodeAlgorithmFile(lines, format), c.bytes);
    EXPECT_EQ(format, c.format) << "writing changed the format";
}

const QString Zacatek = QString::fromUtf8(ZacatekUtf8);

INSTANTIATE_TEST_SUITE_P(
    Cases, AlgorithmFileRoundTrip,
    ::testing::Values(
        RoundTripCase{"Utf8CrLf",
                      "{ }\r\n" + ZacatekUtf8 + "\r\n\r\nkonec",
                      {"{ }", Zacatek, "", "konec"},
                      {teUtf8, lbCrLf}},
        RoundTripCase{
            "Utf8BomLf", Bom + ZacatekUtf8 + "\nkonec\n", {Zacatek, "konec", ""}, {teUtf8Bom, lbLf}},
        RoundTripCase{"Cp1250Cr", Zacatek1250 + "\rkonec\r", {Zacatek, "konec", ""}, {teCp1250, lbCr}},
        RoundTripCase{"Cp1250CrLf", Zacatek1250 + "\r\nkonec", {Zacatek, "konec"}, {teCp1250, lbCrLf}},
        // Bytes Windows-1250 leaves undefined survive a round trip.
        RoundTripCase{"Cp1250UndefinedBytes",
                      "a\x81\x98\r\nb",
                      {QString("a") + QChar(0x81) + QChar(0x98), "b"},
                      {teCp1250, lbCrLf}},
        RoundTripCase{"NoBreakAtAll", "konec", {"konec"}, {teUtf8, lbCrLf}},
        RoundTripCase{"EmptyFile", "", {""}, {teUtf8, lbCrLf}},
        RoundTripCase{"OnlyABreak", "\n", {"", ""}, {teUtf8, lbLf}}),
    [](const ::testing::TestParamInfo<RoundTripCase> &info) { return info.param.name; });

TEST(AlgorithmFile, MixedBreaksAreReadAsLinesAndWrittenWithCrLf) {
    TAlgorithmFileFormat format;
    QStringList lines = DecodeAlgorithmFile("a\nb\r\nc\rd", format);
    EXPECT_EQ(lines, QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(format.LineBreak, lbCrLf);
    EXPECT_EQ(EncodeAlgorithmFile(lines, format), QByteArray("a\r\nb\r\nc\r\nd"));
}

TEST(AlgorithmFile, CrAndLfMixedWithoutCrLfGiveCrLf) {
    TLineBreak lineBreak = lbCr;
    SplitAlgorithmLines("a\rb\nc", &lineBreak);
    EXPECT_EQ(lineBreak, lbCrLf);
}

TEST(AlgorithmFile, Cp1250DocumentWithACharacterItCannotHoldIsSavedAsUtf8) {
    TAlgorithmFileFormat format{teCp1250, lbLf};
    QStringList lines = {Zacatek, QString::fromUtf8("napiš('€ → ∑')")};
    QByteArray bytes = EncodeAlgorithmFile(lines, format);
    EXPECT_EQ(format.Encoding, teUtf8);
    EXPECT_EQ(format.LineBreak, lbLf);
    TAlgorithmFileFormat reread;
    EXPECT_EQ(DecodeAlgorithmFile(bytes, reread), lines);
    EXPECT_EQ(reread.Encoding, teUtf8);
}

TEST(AlgorithmFile, Cp1250DocumentThatStillFitsStaysCp1250) {
    TAlgorithmFileFormat format{teCp1250, lbCrLf};
    EXPECT_EQ(EncodeAlgorithmFile({QString::fromUtf8("Žluťoučký")}, format),
              QByteArray("\x8Elu\x9Dou\xE8k\xFD"));
    EXPECT_EQ(format.Encoding, teCp1250);
}

TEST(AlgorithmFile, WritesAndReadsFilesAndReportsFailures) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString name = dir.filePath(QString::fromUtf8("součet s mezerou.vlm"));
    TAlgorithmFileFormat format{teCp1250, lbCr};
    WriteAlgorithmFile(name, {Zacatek, "konec"}, format);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), Zacatek1250 + "\rkonec");
    file.close();

    TAlgorithmFileFormat read;
    EXPECT_EQ(ReadAlgorithmFile(name, read), QStringList({Zacatek, "konec"}));
    EXPECT_EQ(read, format);

    EXPECT_THROW(ReadAlgorithmFile(dir.filePath("missing.vlm"), read), EFileError);
    TAlgorithmFileFormat unchanged{teCp1250, lbCr};
    EXPECT_THROW(
        WriteAlgorithmFile(dir.filePath("no/such/folder/x.vlm"), {QString::fromUtf8("€")}, unchanged),
        EFileError);
    EXPECT_EQ(unchanged.Encoding, teCp1250) << "a failed save must not change the document's format";
}

} // namespace
