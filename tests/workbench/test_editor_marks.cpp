// The run marks of the editor window: stop marks that move with inserted and deleted lines,
// the glyph and line colours of each combination of current line, command line and stop
// mark (read back as markers and as pixels of the painted view), and the picture lists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>
#include <set>

#include <Qsci/qsciscintilla.h>

#include "dtm_Images.h"
#include "frm_Editor.h"
#include "unt_GutterGlyphs.h"

namespace {

void Key(TfrmEditor &editor, int key, const QString &text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(editor.sedEditor, &press);
}

// The lines whose marker set holds `marker`, 1-based.
QStringList LinesWithMarker(TfrmEditor &editor, int marker) {
    QStringList lines;
    for (int line = editor.sedEditor->markerFindNext(0, 1u << marker); line >= 0;
         line = editor.sedEditor->markerFindNext(line + 1, 1u << marker))
        lines << QString::number(line + 1);
    return lines;
}

QStringList Sorted(QStringList list) {
    std::sort(list.begin(), list.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    return list;
}

struct MoveCase {
    const char *name;
    std::function<void(TfrmEditor &)> edit;
    QStringList marks;  // after the edit; the marks start on lines 3 and 5 of "r1".."r8"
};

class StopMarkMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(StopMarkMoves, MarksStayWithTheirText) {
    TfrmEditor editor;
    editor.SetLines({"r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8"});
    editor.ToggleStopMark(3);
    editor.ToggleStopMark(5);
    GetParam().edit(editor);
    EXPECT_EQ(Sorted(editor.StopMarks()), GetParam().marks);
    // The markers are redrawn from the list: no stale or merged marker survives the edit.
    EXPECT_EQ(LinesWithMarker(editor, ggInvalidStop), GetParam().marks);
}

void Enter(TfrmEditor &e, int line, int column) {
    e.SetCaret(line, column);
    Key(e, Qt::Key_Return, QStringLiteral("\r"));
}

void Remove(TfrmEditor &e, int fromLine, int toLine) {  // whole lines fromLine .. toLine-1
    e.sedEditor->setSelection(fromLine - 1, 0, toLine - 1, 0);
    e.sedEditor->removeSelectedText();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StopMarkMoves,
    ::testing::Values(
        MoveCase{"EnterAtEndOfTheLineAbove", [](TfrmEditor &e) { Enter(e, 2, 3); }, {"4", "6"}},
        MoveCase{"EnterAtStartOfTheMarkedLine", [](TfrmEditor &e) { Enter(e, 3, 1); }, {"4", "6"}},
        MoveCase{"EnterInsideTheMarkedLine", [](TfrmEditor &e) { Enter(e, 3, 2); }, {"3", "6"}},
        MoveCase{"EnterBelowTheMarks", [](TfrmEditor &e) { Enter(e, 5, 3); }, {"3", "5"}},
        MoveCase{"DeleteTheLineAbove", [](TfrmEditor &e) { Remove(e, 2, 3); }, {"2", "4"}},
        MoveCase{"BackspaceJoinsTheMarkedLineUp",
                 [](TfrmEditor &e) {
                     e.SetCaret(3, 1);
                     Key(e, Qt::Key_Backspace);
                 },
                 {"2", "4"}},
        MoveCase{"DeleteTheMarkedLinesMovesTheMarkAbove", [](TfrmEditor &e) { Remove(e, 3, 5); }, {"1", "3"}},
        MoveCase{"TwoMarksMeetOnOneLine", [](TfrmEditor &e) { Remove(e, 4, 6); }, {"3"}},
        MoveCase{"PasteTwoLinesAtTheTop", [](TfrmEditor &e) { e.sedEditor->insertAt("a\nb\n", 0, 0); }, {"5", "7"}},
        MoveCase{"UndoPutsThemBack",
                 [](TfrmEditor &e) {
                     Enter(e, 2, 3);
                     e.sedEditor->undo();
                 },
                 {"3", "5"}},
        MoveCase{"EditWithoutLineChange", [](TfrmEditor &e) { e.sedEditor->insertAt("xyz", 2, 1); }, {"3", "5"}}),
    [](const ::testing::TestParamInfo<MoveCase> &info) { return std::string(info.param.name); });

TEST(StopMarks, ToggleAddsAndRemovesInOrderOfSetting) {
    TfrmEditor editor;
    editor.ToggleStopMark(4);
    editor.ToggleStopMark(2);
    EXPECT_EQ(editor.StopMarks(), QStringList({"4", "2"}));
    EXPECT_TRUE(editor.HasStopMark(2));
    editor.ToggleStopMark(4);
    EXPECT_EQ(editor.StopMarks(), QStringList({"2"}));

    // A click in the gutter toggles the clicked line's mark.
    editor.resize(400, 300);
    editor.show();
    QApplication::processEvents();
    const int y = static_cast<int>(editor.sedEditor->SendScintilla(
                      QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, editor.sedEditor->positionFromLineIndex(2, 0))) +
                  3;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(5, y), editor.sedEditor->viewport()->mapToGlobal(QPointF(5, y)),
                          Qt::LeftButton, type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(editor.sedEditor->viewport(), &click);
    }
    EXPECT_EQ(editor.StopMarks(), QStringList({"2", "3"}));
}

// ---- Line kinds, glyphs and colours ----------------------------------------------------

const TLineColors TestColors = {QColor(255, 128, 0), QColor(0, 0, 255),  QColor(0, 0, 0),
                                QColor(255, 0, 0),   QColor(255, 0, 255), QColor(128, 128, 128)};
const QColor Navy(0, 0, 128), Yellow(255, 255, 0);

struct KindCase {
    int activeLine;
    int line;
    TLineKind kind;
    int glyph;  // -1 none
    QColor background, text;
};

// Lines 1 to 4 hold commands; stop marks on 2, 4, 6 and 7.
const KindCase KindCases[] = {
    {3, 1, lkCommand, ggCommand, Navy, Yellow},
    {3, 2, lkStop, ggStop, TestColors.StopLineBackground, TestColors.StopLineForeground},
    {3, 3, lkActive, ggActive, TestColors.ActiveLineBackground, TestColors.ActiveLineForeground},
    {3, 5, lkNone, -1, Navy, Yellow},
    {3, 6, lkInvalidStop, ggInvalidStop, TestColors.InvalidStopLineBackground, TestColors.InvalidStopLineForeground},
    {6, 6, lkActiveStop, ggActiveStop, TestColors.ActiveLineBackground, TestColors.ActiveLineForeground},
    {6, 3, lkCommand, ggCommand, Navy, Yellow},
    {4, 4, lkActiveStop, ggActiveStop, TestColors.ActiveLineBackground, TestColors.ActiveLineForeground},
    {-1, 4, lkStop, ggStop, TestColors.StopLineBackground, TestColors.StopLineForeground},
    {99, 7, lkInvalidStop, ggInvalidStop, TestColors.InvalidStopLineBackground, TestColors.InvalidStopLineForeground},
};

class LineKinds : public ::testing::Test {
protected:
    void SetUp() override {
        Editor.SetLines({"abc", "abc", "abc", "abc", "abc", "abc", "abc", "abc"});
        Editor.SetLineColors(TestColors);
        Editor.SetCommandLines({"1", "2", "3", "4"});
        for (int line : {2, 4, 6, 7})
            Editor.ToggleStopMark(line);
        Editor.resize(420, 260);
        Editor.show();
        QApplication::processEvents();
    }
    QImage View() { return Editor.sedEditor->viewport()->grab().toImage(); }
    // The band of the view in which `line` is painted.
    QRect LineBand(int line) {
        QsciScintilla *ed = Editor.sedEditor;
        const long pos = ed->positionFromLineIndex(line - 1, 0);
        const int top = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos));
        const int x = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos));
        const int height = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL));
        return QRect(x, top, ed->viewport()->width() - x, height);
    }
    static bool Holds(const QImage &image, const QRect &rect, const QColor &color) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixelColor(x, y).rgb() == color.rgb())
                    return true;
        return false;
    }

    TfrmEditor Editor;
};

TEST_F(LineKinds, GlyphAndColoursFollowActiveLineCommandsAndStopMarks) {
    for (const KindCase &c : KindCases) {
        Editor.SetActiveLine(c.activeLine);
        QApplication::processEvents();
        SCOPED_TRACE(testing::Message() << "active " << c.activeLine << ", line " << c.line);
        EXPECT_EQ(Editor.LineKind(c.line), c.kind);
        const unsigned markers = static_cast<unsigned>(Editor.sedEditor->markersAtLine(c.line - 1));
        const unsigned glyphs = markers & ((1u << (ggInvalidStop + 1)) - 1);
        EXPECT_EQ(glyphs, c.glyph < 0 ? 0u : 1u << c.glyph);

        const QImage view = View();
        const QRect band = LineBand(c.line);
        const QRect text(band.left(), band.top(), 40, band.height());
        EXPECT_EQ(view.pixelColor(band.right() - 4, band.center().y()).rgb(), c.background.rgb());
        EXPECT_TRUE(Holds(view, text, c.text)) << "text colour " << c.text.name().toStdString();
        if (c.text != Yellow) {
            EXPECT_FALSE(Holds(view, text, Yellow)) << "the highlighter's colour shows through";
        }
    }
    if (qEnvironmentVariableIsSet("VELMORA_SCREENSHOT_DIR")) {
        Editor.SetLines({"{ Součet čísel }", "začátek", "  s := 0;", "  pro i := 1 do 10 opakuj",
                         "    s := s + i;", "  napiš 'součet: ', s // výsledek", "konec"});
        Editor.SetCommandLines({"3", "4", "5", "6"});
        Editor.ToggleStopMark(3);
        Editor.SetActiveLine(5);
        Editor.ToggleStopMark(5);
        Editor.resize(520, 240);
        QApplication::processEvents();
        Editor.grab().save(QDir(qEnvironmentVariable("VELMORA_SCREENSHOT_DIR")).filePath("editor.png"));
    }
}

TEST_F(LineKinds, AnEditDropsTheCommandLines) {
    ASSERT_EQ(Editor.LineKind(2), lkStop);
    Editor.SetCaret(5, 1);
    Key(Editor, Qt::Key_X, QStringLiteral("x"));
    EXPECT_TRUE(Editor.CommandLines().isEmpty());
    EXPECT_EQ(Editor.LineKind(1), lkNone);
    EXPECT_EQ(Editor.LineKind(2), lkInvalidStop);
    EXPECT_EQ(LinesWithMarker(Editor, ggCommand), QStringList());
    EXPECT_EQ(LinesWithMarker(Editor, ggInvalidStop), QStringList({"2", "4", "6", "7"}));
    EXPECT_EQ(Editor.StopMarks(), QStringList({"2", "4", "6", "7"}));
}

// ---- Picture lists ---------------------------------------------------------------------

bool Opaque(const QImage &image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

TEST(PictureLists, EveryCommandAndGlyphHasItsOwnPicture) {
    {
        TdtmImages images;
        EXPECT_EQ(TdtmImages::Instance(), &images);
        ASSERT_EQ(images.imlIcons.size(), IconCount);
        ASSERT_EQ(images.imlGlyphs.size(), GutterGlyphCount);
        std::set<QByteArray> fallbacks;
        for (int index = 0; index < IconCount; ++index) {
            EXPECT_FALSE(images.Icon(index).pixmap(16, 16).isNull()) << index;
            const QImage drawn = TdtmImages::FallbackIcon(index).pixmap(16, 16).toImage();
            EXPECT_TRUE(Opaque(drawn)) << "fallback " << index << " is empty";
            fallbacks.insert(QByteArray(reinterpret_cast<const char *>(drawn.constBits()), drawn.sizeInBytes()));
        }
        EXPECT_EQ(fallbacks.size(), static_cast<size_t>(IconCount)) << "two commands share a fallback picture";
        std::set<QByteArray> glyphs;
        for (int index = 0; index < GutterGlyphCount; ++index) {
            const QImage glyph = images.Glyph(index).toImage();
            EXPECT_EQ(glyph.size(), QSize(GutterGlyphWidth, GutterGlyphHeight));
            EXPECT_TRUE(Opaque(glyph)) << "glyph " << index << " is empty";
            glyphs.insert(QByteArray(reinterpret_cast<const char *>(glyph.constBits()), glyph.sizeInBytes()));
        }
        EXPECT_EQ(glyphs.size(), static_cast<size_t>(GutterGlyphCount));
        EXPECT_TRUE(images.Icon(IconCount).isNull());
    }
    EXPECT_EQ(TdtmImages::Instance(), nullptr);
}

}  // namespace
