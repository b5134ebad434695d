// The editor window as a document: loading, saving with the overwrite question, the
// save-before-close question, and the events the main window listens to. Every question is
// answered by a test prompter that also records what was asked.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <deque>

#include <Qsci/qsciscintilla.h>

#include "frm_Editor.h"
#include "unt_Localization.h"
#include "unt_Prompts.h"

namespace {

class TTestPrompter : public TPrompter {
public:
    std::deque<QMessageBox::StandardButton> Answers;  // for Question, in order
    std::deque<QString> Files;                        // for ChooseFiles; an empty name cancels
    QStringList Asked;                                // "caption|text" of each question
    QStringList Errors;
    int Dialogs = 0;

    QMessageBox::StandardButton Question(QWidget *, const QString &caption, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton) override {
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        Asked << caption + QLatin1Char('|') + text;
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return QMessageBox::Cancel;
        }
        const QMessageBox::StandardButton answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void Error(QWidget *, const QString &, const QString &text) override { Errors << text; }
    QStringList ChooseFiles(QFileDialog *dialog) override {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("svdFile"));
        ++Dialogs;
        if (Files.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return {};
        }
        const QString name = Files.front();
        Files.pop_front();
        return name.isEmpty() ? QStringList() : QStringList{name};
    }
};

QByteArray ReadBytes(const QString &name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString &name, const QByteArray &bytes) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class EditorDocument : public ::testing::Test {
protected:
    void SetUp() override {
        if (MessageTable().isEmpty())
            LoadDefaultMessages();
        SetPrompter(&Prompter);
        ASSERT_TRUE(Dir.isValid());
        Existing = Dir.filePath(QStringLiteral("stary.vlm"));
        WriteBytes(Existing, "old");
        Fresh = Dir.filePath(QStringLiteral("novy.vlm"));
        connect();
    }
    void TearDown() override {
        SetPrompter(nullptr);
        EXPECT_TRUE(Prompter.Answers.empty()) << "answers left over";
        EXPECT_TRUE(Prompter.Files.empty()) << "file names left over";
    }
    void connect() {
        QObject::connect(&Editor, &TfrmEditor::OnSaved, [this](TfrmEditor *e) { Events << "saved"; EXPECT_EQ(e, &Editor); });
        QObject::connect(&Editor, &TfrmEditor::OnCaptionChange, [this](TfrmEditor *e) { Events << "caption:" + e->Caption(); });
        QObject::connect(&Editor, &TfrmEditor::OnModifiedChange,
                         [this](TfrmEditor *e) { Events << (e->Modified() ? "modified" : "unmodified"); });
    }
    void Type(const QString &text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Editor.sedEditor, &press);
        }
    }
    // What a close box does: true when the window agreed to close.
    bool Close() {
        QCloseEvent event;
        QApplication::sendEvent(&Editor, &event);
        return event.isAccepted();
    }

    QTemporaryDir Dir;
    QString Existing, Fresh;
    TTestPrompter Prompter;
    TfrmEditor Editor;
    QStringList Events;
};

const QByteArray StartingTextCrLf = "{ }\r\nza\xC4\x8D\xC3\xA1tek\r\n\r\nkonec";

TEST_F(EditorDocument, StartsAsTheDesignedNewDocument) {
    EXPECT_EQ(Editor.objectName(), QStringLiteral("frmEditor"));
    EXPECT_EQ(Editor.Caption(), QStringLiteral("Algoritmus"));
    EXPECT_EQ(Editor.sedEditor->objectName(), QStringLiteral("sedEditor"));
    EXPECT_EQ(Editor.sedEditor->accessibleName(), QStringLiteral("sedEditor"));
    EXPECT_EQ(Editor.Lines(), TfrmEditor::StartingLines());
    EXPECT_FALSE(Editor.Modified());
    EXPECT_EQ(Editor.ActiveLine(), -1);
    EXPECT_TRUE(Editor.FileName.isEmpty());
    EXPECT_EQ(Editor.sedEditor->tabWidth(), 2);
    EXPECT_TRUE(Close()) << "an untouched new document closes without a question";
    EXPECT_TRUE(Prompter.Asked.isEmpty());
}

struct SaveCase {
    const char *name;
    bool askForName;
    bool hasFileName;                                  // the document was saved as `Existing` before
    std::vector<const char *> files;                   // "existing", "fresh", "" (cancel), "bad"
    std::vector<QMessageBox::StandardButton> answers;  // to the overwrite question
    bool result;
    const char *writtenTo;                             // "existing", "fresh" or nullptr
};

class EditorSave : public EditorDocument, public ::testing::WithParamInterface<SaveCase> {
protected:
    QString NameOf(const char *which) {
        const std::string w = which;
        if (w == "existing") return Existing;
        if (w == "fresh") return Fresh;
        if (w == "bad") return Dir.filePath(QStringLiteral("no/such/folder/x.vlm"));
        return QString();
    }
};

TEST_P(EditorSave, AsksForANameAndOverwritesOnlyWhenToldTo) {
    const SaveCase &c = GetParam();
    if (c.hasFileName) {
        Editor.FileName = Existing;
        Editor.SetCaption(QStringLiteral("stary.vlm"));
    }
    Type(QStringLiteral("x"));
    const QByteArray expected = "x" + StartingTextCrLf;
    Events.clear();
    for (const char *f : c.files)
        Prompter.Files.push_back(NameOf(f));
    for (QMessageBox::StandardButton a : c.answers)
        Prompter.Answers.push_back(a);
    const QString oldCaption = Editor.Caption();

    EXPECT_EQ(Editor.Save(c.askForName), c.result);

    EXPECT_EQ(Prompter.Asked.size(), static_cast<qsizetype>(c.answers.size()));
    for (const QString &asked : Prompter.Asked)
        EXPECT_EQ(asked, GetMessageText(QStringLiteral("ReplaceFileCaption")) + QLatin1Char('|') +
                             GetMessageText(QStringLiteral("ReplaceFileMessage")));
    EXPECT_EQ(Prompter.Dialogs, static_cast<int>(c.files.size()));
    if (c.writtenTo) {
        const QString name = NameOf(c.writtenTo);
        EXPECT_EQ(ReadBytes(name), expected);
        EXPECT_EQ(Editor.FileName, name);
        EXPECT_EQ(Editor.Caption(), QFileInfo(name).fileName());
        EXPECT_FALSE(Editor.Modified());
        EXPECT_EQ(Events, QStringList({"caption:" + QFileInfo(name).fileName(), "unmodified", "saved"}));
    } else {
        EXPECT_TRUE(Editor.Modified());
        EXPECT_EQ(Editor.Caption(), oldCaption);
        EXPECT_TRUE(Events.isEmpty());
    }
    const std::string written = c.writtenTo ? c.writtenTo : "";
    if (written != "existing") {
        EXPECT_EQ(ReadBytes(Existing), QByteArray("old"));
    }
    if (written != "fresh") {
        EXPECT_FALSE(QFile::exists(Fresh));
    }
}

using B = QMessageBox::StandardButton;
INSTANTIATE_TEST_SUITE_P(
    Cases, EditorSave,
    ::testing::Values(
        SaveCase{"NewNameSavesAtOnce", false, false, {"fresh"}, {}, true, "fresh"},
        SaveCase{"OverwriteYes", false, false, {"existing"}, {B::Yes}, true, "existing"},
        SaveCase{"OverwriteNoShowsTheDialogAgain", false, false, {"existing", "fresh"}, {B::No}, true, "fresh"},
        SaveCase{"OverwriteCancel", false, false, {"existing"}, {B::Cancel}, false, nullptr},
        SaveCase{"DialogCancelled", false, false, {""}, {}, false, nullptr},
        SaveCase{"NoThenDialogCancelled", false, false, {"existing", ""}, {B::No}, false, nullptr},
        SaveCase{"KnownNameNeedsNoDialog", false, true, {}, {}, true, "existing"},
        SaveCase{"SaveAsAsksEvenWithAName", true, true, {"fresh"}, {}, true, "fresh"}),
    [](const ::testing::TestParamInfo<SaveCase> &info) { return std::string(info.param.name); });

TEST_F(EditorDocument, AFailedWriteKeepsTheDocumentModifiedButTakesTheName) {
    const QString bad = Dir.filePath(QStringLiteral("no/such/folder/x.vlm"));
    Type(QStringLiteral("x"));
    Events.clear();
    Prompter.Files.push_back(bad);
    EXPECT_FALSE(Editor.Save(false));
    EXPECT_EQ(Prompter.Errors.size(), 1);
    EXPECT_EQ(Editor.FileName, bad);
    EXPECT_EQ(Editor.Caption(), QStringLiteral("Algoritmus"));
    EXPECT_TRUE(Editor.Modified());
    EXPECT_TRUE(Events.isEmpty());
}

struct CloseCase {
    const char *name;
    bool hasFileName;
    std::vector<QMessageBox::StandardButton> answers;
    std::vector<const char *> files;
    bool closes;
    bool saved;
};

class EditorClose : public EditorDocument, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(EditorClose, AsksBeforeClosingAModifiedDocument) {
    const CloseCase &c = GetParam();
    if (c.hasFileName) {
        ASSERT_TRUE(Editor.LoadFromFile(Existing));
    }
    Type(QStringLiteral("x"));
    for (QMessageBox::StandardButton a : c.answers)
        Prompter.Answers.push_back(a);
    for (const char *f : c.files)
        Prompter.Files.push_back(std::string(f) == "fresh" ? Fresh : QString());

    EXPECT_EQ(Close(), c.closes);
    EXPECT_EQ(Editor.CloseConfirmed, c.closes);
    ASSERT_GE(Prompter.Asked.size(), 1);
    EXPECT_EQ(Prompter.Asked.first(),
              QStringLiteral("Zavřít|Přejete si algoritmus \"%1\" před jeho uzavřením nejprve uložit?")
                  .arg(c.hasFileName ? QStringLiteral("stary.vlm") : QStringLiteral("Algoritmus")));
    const QString target = c.hasFileName ? Existing : Fresh;
    if (c.saved)
        EXPECT_TRUE(ReadBytes(target).startsWith("x")) << ReadBytes(target).toStdString();
    else
        EXPECT_FALSE(ReadBytes(target).startsWith("x"));
    EXPECT_EQ(Editor.Modified(), !c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorClose,
    ::testing::Values(CloseCase{"YesSavesUnderItsName", true, {B::Yes}, {}, true, true},
                      CloseCase{"YesOnANewDocumentAsksForAName", false, {B::Yes}, {"fresh"}, true, true},
                      CloseCase{"YesButDialogCancelledStaysOpen", false, {B::Yes}, {""}, false, false},
                      CloseCase{"NoClosesWithoutSaving", true, {B::No}, {}, true, false},
                      CloseCase{"CancelStaysOpen", true, {B::Cancel}, {}, false, false}),
    [](const ::testing::TestParamInfo<CloseCase> &info) { return std::string(info.param.name); });

TEST_F(EditorDocument, LoadsAFileAndWritesItBackByteForByte) {
    // Windows-1250 with CR breaks and a final break: "začátek", "napiš 'ž'", "".
    const QByteArray bytes = "za\xE8\xE1tek\rnapi\x9A '\x9E'\r";
    const QString name = Dir.filePath(QStringLiteral("cp.vlm"));
    WriteBytes(name, bytes);
    EXPECT_FALSE(Editor.LoadFromFile(Dir.filePath(QStringLiteral("missing.vlm"))));
    EXPECT_EQ(Editor.Lines(), TfrmEditor::StartingLines());
    EXPECT_TRUE(Events.isEmpty());

    ASSERT_TRUE(Editor.LoadFromFile(name));
    EXPECT_EQ(Editor.Lines(), QStringList({QStringLiteral("začátek"), QStringLiteral("napiš 'ž'"), QString()}));
    EXPECT_EQ(Editor.FileName, QFileInfo(name).absoluteFilePath());
    EXPECT_EQ(Editor.Caption(), QStringLiteral("cp.vlm"));
    EXPECT_FALSE(Editor.Modified());
    EXPECT_FALSE(Editor.sedEditor->isUndoAvailable()) << "undo must not bring back the starting text";
    EXPECT_TRUE(Close());

    Editor.SetModified(true);
    ASSERT_TRUE(Editor.Save(false));
    EXPECT_EQ(ReadBytes(name), bytes);

    // The core sees Windows-1250 lines.
    EXPECT_EQ(Editor.CoreLines(), TArrayOfString({"za\xE8\xE1tek", "napi\x9A '\x9E'", ""}));
}

TEST_F(EditorDocument, ReportsModificationAndCaretMovesOnlyWhenTheyChange) {
    std::vector<int> moves;
    QObject::connect(&Editor, &TfrmEditor::OnCaretMove,
                     [&](TfrmEditor *, TStatusChanges changes) { moves.push_back(changes.toInt()); });
    // The editor tells caret moves when it updates its view, so it must be on screen.
    Editor.show();
    auto settle = [] { QApplication::processEvents(); };
    settle();
    moves.clear();
    Editor.SetCaret(2, 1);
    settle();
    Type(QStringLiteral("ab"));
    settle();
    Editor.SetCaret(2, 3);  // where it already is
    settle();
    Editor.SetCaret(4, 3);
    settle();
    Editor.SetCaret(1, 1);
    settle();

    EXPECT_EQ(Events, QStringList({"modified"})) << "one change of the flag for several keys";
    EXPECT_EQ(moves, (std::vector<int>{scCaretY, scCaretX, scCaretY, scCaretX | scCaretY}));
    EXPECT_EQ(Editor.CaretLine(), 1);
    EXPECT_EQ(Editor.CaretColumn(), 1);

    // Columns count characters: after "začá" on line 2 the caret is in column 5.
    Editor.SetCaret(2, 5);
    EXPECT_EQ(Editor.CaretColumn(), 5);
    Editor.SetCaret(9, 99);  // clamped to the text
    EXPECT_EQ(Editor.CaretLine(), 4);
    EXPECT_EQ(Editor.CaretColumn(), 6);
}

TEST_F(EditorDocument, ReportsItsDestruction) {
    auto *editor = new TfrmEditor;
    TfrmEditor *reported = nullptr;
    QObject::connect(editor, &TfrmEditor::OnDestroyed, [&](TfrmEditor *e) { reported = e; });
    delete editor;
    EXPECT_EQ(reported, editor);
}

TEST_F(EditorDocument, ALanguageFileGivesANewWindowItsStartingTextAndDialogTitle) {
    const QString lng = Dir.filePath(QStringLiteral("Test.lng"));
    WriteBytes(lng, "[frmEditor]\n"
                    "sedEditor.Lines.New=\"{ Nov\xC3\xBD }\",begin,,end\n"
                    "svdFile.Title=Save algorithm\n");
    TranslateForm(&Editor, lng, true);
    EXPECT_EQ(Editor.Lines(), QStringList({QStringLiteral("{ Nový }"), "begin", "", "end"}));
    EXPECT_EQ(Editor.svdFile->windowTitle(), QStringLiteral("Save algorithm"));
    EXPECT_FALSE(Editor.Modified()) << "a starting text is no change of the user's";
    EXPECT_FALSE(Editor.sedEditor->isUndoAvailable());

    Type(QStringLiteral("x"));
    EXPECT_TRUE(Editor.Modified());
    Editor.sedEditor->undo();
    EXPECT_TRUE(Editor.Modified()) << "every change counts, undoing one too";
}

TEST_F(EditorDocument, GotoLineCentresTheLineWithTheCaretAtItsStart) {
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << QStringLiteral("řádek %1").arg(i);
    Editor.SetLines(lines);
    Editor.resize(400, 300);
    Editor.show();
    QApplication::processEvents();
    Editor.sedEditor->setSelection(0, 0, 3, 2);
    Editor.GotoLine(120);
    EXPECT_EQ(Editor.CaretLine(), 120);
    EXPECT_EQ(Editor.CaretColumn(), 1);
    EXPECT_FALSE(Editor.sedEditor->hasSelectedText());
    const int onScreen = static_cast<int>(Editor.sedEditor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    ASSERT_GT(onScreen, 2);
    EXPECT_EQ(Editor.sedEditor->firstVisibleLine(), 119 - onScreen / 2);
}

TEST_F(EditorDocument, CharactersOutsideTheCodePageSurviveATripThroughTheCore) {
    Editor.SetLines({QStringLiteral("napiš '→ ž'"), QStringLiteral("konec")});
    std::vector<char32_t> placeholders;
    const TArrayOfString core = Editor.CoreLines(&placeholders);
    ASSERT_EQ(core.size(), 2u);
    EXPECT_EQ(core[0], "napi\x9A '\x98 \x9E'");
    EXPECT_EQ(placeholders, std::vector<char32_t>({U'→'}));
    Editor.SetCoreText(core[0] + "\r\n" + core[1] + "\r\n", placeholders);
    EXPECT_EQ(Editor.Lines(), QStringList({QStringLiteral("napiš '→ ž'"), QStringLiteral("konec"), QString()}));
}

TEST(EditorActivation, ReportsBecomingTheActiveDocumentInADocumentArea) {
    QMdiArea area;
    auto *first = new TfrmEditor;
    auto *second = new TfrmEditor;
    area.addSubWindow(first);
    area.addSubWindow(second);
    area.resize(500, 400);
    area.show();
    QApplication::processEvents();
    QList<TfrmEditor *> activated;
    for (TfrmEditor *editor : {first, second})
        QObject::connect(editor, &TfrmEditor::OnActivated, [&](TfrmEditor *e) { activated << e; });

    area.setActiveSubWindow(area.subWindowList().at(0));
    area.setActiveSubWindow(area.subWindowList().at(1));
    area.setActiveSubWindow(area.subWindowList().at(1));  // already active: nothing new
    EXPECT_EQ(activated, QList<TfrmEditor *>({first, second}));

    // The sub-window's close box asks the editor, which may refuse.
    TTestPrompter prompter;
    SetPrompter(&prompter);
    second->SetModified(true);
    prompter.Answers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(area.subWindowList().at(1)->close());
    EXPECT_EQ(area.subWindowList().size(), 2);
    SetPrompter(nullptr);
}

}  // namespace
