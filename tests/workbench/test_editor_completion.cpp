// Completion from the active vocabulary: opened with Ctrl+Space only, matching the word
// being typed without regard to case, accepted with Tab, Enter or an end-of-word character.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>

// QtGui's entry for keys that may be shortcuts, as QTest's key clicks use it: it runs the
// application's shortcut map for the focused window.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString &text = QString(), bool autorep = false,
                                               ushort count = 1);

#include <Qsci/qsciapis.h>
#include <Qsci/qsciscintilla.h>

#include "frm_Editor.h"

namespace {

// The list is prepared on a thread of QScintilla's; completion does nothing before it ends.
void UseWords(TfrmEditor &editor, const auto &words) {
    editor.SetCompletionWords(words);
    QEventLoop loop;
    QObject::connect(editor.scpCompleter, &QsciAPIs::apiPreparationFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void Send(TfrmEditor &editor, int key, const QString &text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(editor.sedEditor, &press);
}

void Type(TfrmEditor &editor, const QString &text) {
    for (QChar c : text)
        Send(editor, 0, QString(c));
}

// Ctrl+Space through the shortcut map, so the editor's own shortcut is what opens the list.
void PressCtrlSpace(TfrmEditor &editor) {
    EXPECT_TRUE(qt_sendShortcutOverrideEvent(editor.sedEditor, 0, Qt::Key_Space, Qt::ControlModifier,
                                             QStringLiteral(" ")))
        << "Ctrl+Space is no shortcut of the focused editor";
}

bool ListShown(TfrmEditor &editor) {
    return editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE) != 0;
}

class Completion : public ::testing::Test {
protected:
    void SetUp() override {
        Editor.SetLines({QStringLiteral("začátek"), QString()});
        Editor.resize(400, 200);
        Editor.show();
        QApplication::setActiveWindow(&Editor);
        Editor.sedEditor->setFocus();
        QApplication::processEvents();
        UseWords(Editor, QStringList{QStringLiteral("jestliže"), QStringLiteral("napiš"), QStringLiteral("nebo"),
                                     QStringLiteral("čti"), QStringLiteral("konec")});
        Editor.SetCaret(2, 1);
    }
    QString LastLine() { return Editor.Lines().last(); }

    TfrmEditor Editor;
};

struct AcceptCase {
    const char *typed;
    const char *offered;
    int key;
    const char *keyText;
    const char *line;
};

TEST_F(Completion, OffersTheMatchingWordsAndInsertsTheChosenOne) {
    const AcceptCase cases[] = {
        {"nap", "napiš", Qt::Key_Tab, "\t", "napiš"},
        {"NAP", "napiš", Qt::Key_Return, "\r", "napiš"},
        {"čt", "čti", Qt::Key_Tab, "\t", "čti"},
        {"nap", "napiš", Qt::Key_ParenLeft, "(", "napiš("},
        {"nap", "napiš", Qt::Key_Space, " ", "napiš "},
        {"x := nap", "napiš", Qt::Key_BracketLeft, "[", "x := napiš["},
    };
    for (const AcceptCase &c : cases) {
        SCOPED_TRACE(c.typed);
        Editor.SetLines({QStringLiteral("začátek"), QString()});
        Editor.SetCaret(2, 1);
        Type(Editor, QString::fromUtf8(c.typed));
        EXPECT_FALSE(ListShown(Editor)) << "the list must not open by itself";
        PressCtrlSpace(Editor);
        ASSERT_TRUE(ListShown(Editor));
        QByteArray current(64, '\0');
        Editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_AUTOCGETCURRENTTEXT, 0UL, current.data());
        EXPECT_STREQ(current.constData(), c.offered);
        Send(Editor, c.key, QString::fromUtf8(c.keyText));
        EXPECT_FALSE(ListShown(Editor));
        EXPECT_EQ(LastLine(), QString::fromUtf8(c.line));
    }
}

TEST_F(Completion, FollowsTheVocabulary) {
    UseWords(Editor, TArrayOfString{"begin", "end", "write", "while"});
    Type(Editor, QStringLiteral("nap"));
    PressCtrlSpace(Editor);
    EXPECT_FALSE(ListShown(Editor)) << "no English word starts with nap";
    Editor.SetLines({QStringLiteral("begin"), QString()});
    Editor.SetCaret(2, 1);
    Type(Editor, QStringLiteral("wr"));
    PressCtrlSpace(Editor);
    ASSERT_TRUE(ListShown(Editor));
    Send(Editor, Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_EQ(LastLine(), QStringLiteral("write"));
}

}  // namespace
