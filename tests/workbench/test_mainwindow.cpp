// The main window's documents, driven in-process: numbering, the command line, opening
// (twice, dropped), the reopen list, the tab strip and window list in step, the status bar,
// the vocabulary switch, and closing with the save question answered by a test prompter.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTemporaryDir>
#include <QUrl>

#include <deque>
#include <memory>

#include <Qsci/qsciscintilla.h>

#include "frm_Algorithms.h"
#include "unt_Highlighter.h"
#include "unt_Localization.h"
#include "unt_Prompts.h"

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Answers every question from a queue; a question nobody expected fails the test.
class TTestPrompter : public TPrompter {
public:
    std::deque<QMessageBox::StandardButton> Answers;
    std::deque<QStringList> Files;
    QStringList Questions;
    QStringList Errors, ErrorCaptions;

    QMessageBox::StandardButton Question(QWidget *, const QString &, const QString &text,
                                         QMessageBox::StandardButtons, QMessageBox::StandardButton) override {
        Questions << text;
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return QMessageBox::Cancel;
        }
        auto answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void Information(QWidget *, const QString &, const QString &) override {}
    void Error(QWidget *, const QString &caption, const QString &text) override {
        ErrorCaptions << caption;
        Errors << text;
    }
    QStringList ChooseFiles(QFileDialog *) override {
        if (Files.empty())
            return {};
        QStringList files = Files.front();
        Files.pop_front();
        return files;
    }
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        SetPrompter(&Prompts);
        Window = std::make_unique<TfrmAlgorithms>();
    }
    void TearDown() override {
        // Nothing may be left to ask when the window goes.
        for (TfrmEditor *editor : Window->Editors())
            editor->SetModified(false);
        Window.reset();
        SetPrompter(nullptr);
    }

    QString WriteFile(const QString &name, const QByteArray &bytes) {
        QString path = Dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray ReadFile(const QString &path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    // As from a menu: the enabling rules are evaluated first, as when the application is idle.
    // Closed windows are freed at once, as the event loop would free them.
    void Trigger(QAction *action) {
        Window->UpdateActions();
        action->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TfrmEditor *New() {
        Trigger(Window->actNew);
        return Window->ActiveEditor();
    }
    QStringList Captions() const {
        QStringList captions;
        for (TfrmEditor *editor : Window->Editors())
            captions << editor->Caption();
        return captions;
    }
    // The tab strip and the window list hold the documents' captions, in the same order.
    void ExpectListsInStep() {
        QStringList tabs, items;
        for (int i = 0; i < Window->tabWindows->count(); ++i)
            tabs << Window->tabWindows->tabText(i);
        for (QAction *item : Window->mnuWindowList->actions())
            items << item->text();
        EXPECT_EQ(tabs, Captions());
        EXPECT_EQ(items, Captions());
    }

    // A drag entering `target` and dropped there, as the platform delivers it.
    static bool DropFiles(QWidget *target, const QList<QUrl> &urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    QTemporaryDir Dir;
    TTestPrompter Prompts;
    std::unique_ptr<TfrmAlgorithms> Window;
};

TEST_F(MainWindow, StartsAsDesigned) {
    EXPECT_EQ(Window->objectName(), "frmAlgorithms");
    EXPECT_EQ(Window->windowTitle(), "Velmora");
    EXPECT_TRUE(Window->Editors().isEmpty());
    EXPECT_EQ(Window->pnlCaret->text(), "1 : 1");
    EXPECT_EQ(Window->actNew->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(Window->actClose->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(Window->actKirdaToCode->text(), QString::fromUtf8("Převést Češtinu na Kód"));
    EXPECT_TRUE(Window->actNew->toolTip().endsWith("(Ctrl+N)")) << Window->actNew->toolTip().toStdString();
    // The four panels sit in their sites.
    EXPECT_EQ(Window->dockWidgetArea(Window->dcpOutput), Qt::BottomDockWidgetArea);
    EXPECT_EQ(Window->dockWidgetArea(Window->dcpErrors), Qt::BottomDockWidgetArea);
    EXPECT_EQ(Window->dockWidgetArea(Window->dcpVariables), Qt::RightDockWidgetArea);
    EXPECT_EQ(Window->dockWidgetArea(Window->dcpArrays), Qt::RightDockWidgetArea);
    // Widgets without a caption of their own carry their element name for screen readers.
    for (QWidget *widget :
         std::initializer_list<QWidget *>{Window->tabWindows, Window->pnlRunState, Window->pnlCaret,
                                          Window->pnlModified, Window->pnlHint, Window->pnlKeyboard})
        EXPECT_EQ(widget->accessibleName(), widget->objectName());
}

TEST_F(MainWindow, NewDocumentsAreNumberedWithTheLowestFreeNumber) {
    TfrmEditor *first = New();
    New();
    New();
    EXPECT_EQ(Captions(), QStringList({"Algoritmus 1", "Algoritmus 2", "Algoritmus 3"}));
    EXPECT_EQ(first->Lines(), TfrmEditor::StartingLines());

    Trigger(Window->actClose); // the active one: Algoritmus 3
    Window->ShowEditor(first);
    Trigger(Window->actClose);
    EXPECT_EQ(Captions(), QStringList({"Algoritmus 2"}));
    New();
    EXPECT_EQ(Captions(), QStringList({"Algoritmus 2", "Algoritmus 1"}));
    New();
    EXPECT_EQ(Captions(), QStringList({"Algoritmus 2", "Algoritmus 1", "Algoritmus 3"}));
    ExpectListsInStep();
    EXPECT_TRUE(Prompts.Questions.isEmpty()) << "unchanged documents close without a question";
}

TEST_F(MainWindow, ACaptionTextWithoutANumberDoesNotHangNumbering) {
    // A language file whose "Messages" lack the caption: every number reads the same text.
    MessageTable().clear();
    New();
    New();
    EXPECT_EQ(Captions(), QStringList({"unknown message", "unknown message"}));
}

TEST_F(MainWindow, CaptionsTabsAndWindowListStayInStep) {
    New();
    New();
    New();
    ExpectListsInStep();
    // A saved document takes its file name, and gives its number back.
    Prompts.Files.push_back({Dir.filePath("soucet.vlm")});
    Window->ShowEditor(Window->Editors()[1]);
    Trigger(Window->actSaveAs);
    EXPECT_EQ(Captions(), QStringList({"Algoritmus 1", "soucet.vlm", "Algoritmus 3"}));
    EXPECT_EQ(Window->NextAlgorithmCaption(), "Algoritmus 2");
    ExpectListsInStep();
    EXPECT_EQ(Window->ReopenList(), QStringList({Dir.filePath("soucet.vlm")}));

    Window->ShowEditor(Window->Editors()[0]);
    Trigger(Window->actClose);
    ExpectListsInStep();
    EXPECT_EQ(Window->tabWindows->currentIndex(), Window->Editors().indexOf(Window->ActiveEditor()));

    // Choosing a tab brings its document to the front.
    Window->tabWindows->setCurrentIndex(1);
    EXPECT_EQ(Window->ActiveEditor(), Window->Editors()[1]);
    Window->mnuWindowList->actions()[0]->trigger();
    EXPECT_EQ(Window->ActiveEditor(), Window->Editors()[0]);
    EXPECT_EQ(Window->tabWindows->currentIndex(), 0);
}

TEST_F(MainWindow, LanguageIsAppliedInOrderToTheWindowAndNewDocuments) {
    QDir(Dir.path()).mkdir("Languages");
    WriteFile(QString::fromUtf8("Languages/Testovací.lng"), R"([Language]
Locale=cs
[Messages]
AlgorithmCaption=Program %d
Changed=Upraveno
CzechToPasCaption=Do kódu
CzechToPasHint=Přeložit do kódu
[Menu]
dxSBAR_DIALOGOK=Budiž
[frmAlgorithms]
frmAlgorithms.Caption=Velmora CZ
actNew.Caption=Nový soubor
actNew.Hint=Založí nový algoritmus
mnuFile.Caption=Soubory
dcpOutput.Caption=Výpis
[frmEditor]
sedEditor.Lines.New=začátek,konec
)");
    Window->ProgramDir = Dir.path();
    Window->Language = QString::fromUtf8("Testovací");
    Window->ApplyLanguage();
    Window->ApplyLanguage(); // as the settings dialog does on every apply

    EXPECT_EQ(Window->windowTitle(), "Velmora CZ");
    EXPECT_EQ(Window->actNew->text(), QString::fromUtf8("Nový soubor"));
    EXPECT_EQ(Window->actNew->toolTip(), QString::fromUtf8("Založí nový algoritmus (Ctrl+N)"));
    EXPECT_EQ(Window->mnuFile->title(), "Soubory");
    EXPECT_EQ(Window->dcpOutput->windowTitle(), QString::fromUtf8("Výpis"));
    // State-dependent texts come from the messages just loaded.
    EXPECT_EQ(Window->actKirdaToCode->text(), QString::fromUtf8("Do kódu"));
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGOK"), QString::fromUtf8("Budiž"));
    // Qt's own texts speak the language too.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Zrušit"));

    TfrmEditor *editor = New();
    EXPECT_EQ(editor->Caption(), "Program 1");
    EXPECT_EQ(editor->Lines(), QStringList({QString::fromUtf8("začátek"), "konec"}));
    editor->sedEditor->insert("x");
    EXPECT_EQ(Window->pnlModified->text(), "Upraveno");

    // Back to Qt's English and the built-in toolkit texts for the other tests.
    WriteFile("Languages/None.lng", "[Language]\nLocale=xx\n");
    LoadQtTranslations(Dir.filePath("Languages/None.lng"));
    ResetToolkitTexts();
}

TEST(CommandLineFileName, JoinsArgumentsAndDropsQuotes) {
    struct Case {
        QStringList arguments;
        QString expected;
    } cases[] = {
        {{}, ""},
        {{"/tmp/a.vlm"}, "/tmp/a.vlm"},
        {{"/tmp/my", "algorithms/a", "b.vlm"}, "/tmp/my algorithms/a b.vlm"}, // unquoted, with blanks
        {{"\"/tmp/my algorithms/a.vlm\""}, "/tmp/my algorithms/a.vlm"},       // quotes left in by the caller
        {{"\"\" \"/tmp/x.vlm\""}, "/tmp/x.vlm"},                              // leading quotes and blanks go
        {{"\"/tmp/x.vlm"}, "/tmp/x.vlm"},
        {{"/tmp/x.vlm\"\""}, "/tmp/x.vlm\""}, // one quote at the end only
        {{"\"a\""}, "a"},
        {{"\"\""}, "\"\""}, // two characters stay as given
    };
    for (const Case &c : cases)
        EXPECT_EQ(TfrmAlgorithms::CommandLineFileName(c.arguments), c.expected)
            << c.arguments.join('|').toStdString();
}

TEST_F(MainWindow, ShowingOpensTheCommandLineFileOrANewDocument) {
    QString path = WriteFile("my algorithm.vlm", "napiš(1)\r\n");
    Window->CommandLineArguments = path.split(' '); // given without quotes
    Window->show();
    ASSERT_EQ(Window->Editors().size(), 1);
    EXPECT_EQ(Window->ActiveEditor()->FileName, path);
    EXPECT_EQ(Window->ActiveEditor()->Caption(), "my algorithm.vlm");
    EXPECT_EQ(Window->ReopenList(), QStringList({path}));

    auto other = std::make_unique<TfrmAlgorithms>();
    other->CommandLineArguments = {Dir.filePath("missing.vlm")};
    other->show();
    ASSERT_EQ(other->Editors().size(), 1);
    EXPECT_EQ(other->ActiveEditor()->Caption(), "Algoritmus 1");
    EXPECT_EQ(other->ActiveEditor()->Lines(), TfrmEditor::StartingLines());
    EXPECT_TRUE(other->ReopenList().isEmpty());
}

TEST_F(MainWindow, OpeningAnOpenFileAgainBringsItsWindowToTheFront) {
    QString a = WriteFile("a.vlm", "konec");
    QString b = WriteFile("b.vlm", "konec");
    ASSERT_TRUE(Window->OpenAlgorithm(a));
    ASSERT_TRUE(Window->OpenAlgorithm(b));
    TfrmEditor *first = Window->Editors()[0];
    first->sedEditor->insert("x"); // the edit must survive

    EXPECT_TRUE(Window->OpenAlgorithm(Dir.path() + "/./a.vlm"));
    EXPECT_EQ(Window->Editors().size(), 2);
    EXPECT_EQ(Window->ActiveEditor(), first);
    EXPECT_TRUE(first->Modified());
    EXPECT_EQ(Window->ReopenList().first(), a);

    EXPECT_FALSE(Window->OpenAlgorithm(Dir.filePath("missing.vlm")));
    EXPECT_EQ(Window->Editors().size(), 2);
}

TEST_F(MainWindow, OpenCommandAndDroppedFilesOpenDocuments) {
    Window->CommandLineArguments = {Dir.filePath("missing.vlm")};
    Window->show(); // with a new document
    Window->ActiveEditor()->SetModified(false);
    QString a = WriteFile("a.vlm", "konec");
    Prompts.Files.push_back({a});
    Trigger(Window->actOpen);
    ASSERT_EQ(Window->Editors().size(), 2);
    EXPECT_EQ(Window->ActiveEditor()->FileName, a);

    QString b = WriteFile("b.vlm", "konec");
    QString text = WriteFile("notes.png", "not an algorithm");
    EXPECT_TRUE(DropFiles(Window.get(), {QUrl::fromLocalFile(b), QUrl::fromLocalFile(text)}));
    ASSERT_EQ(Window->Editors().size(), 3);
    EXPECT_EQ(Window->ActiveEditor()->FileName, b);
    EXPECT_FALSE(DropFiles(Window.get(), {QUrl::fromLocalFile(text)}));

    // Dropped on a document's text, it opens too instead of being inserted.
    QString c = WriteFile("c.vlm", "konec");
    EXPECT_TRUE(DropFiles(Window->Editors()[1]->sedEditor->viewport(), {QUrl::fromLocalFile(c)}));
    EXPECT_EQ(Window->Editors().size(), 4);
    EXPECT_EQ(Window->Editors()[1]->Lines(), QStringList({"konec"}));
}

TEST_F(MainWindow, AFileThatCannotBeReadIsReportedAndKeepsItsNewWindow) {
    // Exists, but every read of it fails (Linux).
    const QString unreadable = "/proc/self/mem";
    EXPECT_THROW(Window->OpenAlgorithm(unreadable), EFileError);
    ASSERT_EQ(Window->Editors().size(), 1);
    EXPECT_EQ(Window->Editors()[0]->Caption(), "Algoritmus 1");
    EXPECT_EQ(Window->Editors()[0]->Lines(), TfrmEditor::StartingLines());
    EXPECT_TRUE(Window->ReopenList().isEmpty());

    // From a command, the message reaches the user instead of the event loop.
    Prompts.Files.push_back({unreadable});
    Trigger(Window->actOpen);
    EXPECT_EQ(Prompts.Errors.size(), 1);
    EXPECT_EQ(Prompts.ErrorCaptions.value(0), QGuiApplication::applicationDisplayName());
    EXPECT_EQ(Window->Editors().size(), 2);
}

TEST_F(MainWindow, ReopenListKeepsTheNineNewestNewestFirst) {
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files << WriteFile(QStringLiteral("f%1.vlm").arg(i), "konec");
    for (const QString &file : files)
        ASSERT_TRUE(Window->OpenAlgorithm(file));
    QStringList expected;
    for (int i = 9; i >= 1; --i)
        expected << files[i];
    EXPECT_EQ(Window->ReopenList(), expected);
    ASSERT_EQ(Window->mnuReopen->actions().size(), 9);
    EXPECT_EQ(Window->mnuReopen->actions()[0]->data().toString(), files[9]);

    // Reopening an entry moves it to the top; the same name in other letter case is one entry.
    Window->mnuReopen->actions()[4]->trigger();
    EXPECT_EQ(Window->ReopenList().first(), files[5]);
    Window->AddToReopenList(files[3].toUpper());
    EXPECT_EQ(Window->ReopenList().size(), 9);
    EXPECT_EQ(Window->ReopenList().first(), files[3].toUpper());
    EXPECT_EQ(Window->ReopenList().count(files[3]), 0);
}

TEST_F(MainWindow, ClosingAsksForEveryModifiedDocumentAndStopsAtCancel) {
    TfrmEditor *first = New();
    TfrmEditor *second = New();
    first->sedEditor->insert("x");
    second->sedEditor->insert("y");

    Prompts.Answers = {QMessageBox::No, QMessageBox::Cancel};
    EXPECT_FALSE(Window->CloseAllEditors());
    EXPECT_EQ(Prompts.Questions.size(), 2);
    EXPECT_EQ(Captions(), QStringList({"Algoritmus 2"}));
    EXPECT_TRUE(Window->Editors()[0]->Modified());

    // Closing the main window with Cancel keeps it open.
    Prompts.Answers = {QMessageBox::Cancel};
    EXPECT_FALSE(Window->close());
    EXPECT_EQ(Window->Editors().size(), 1);

    // Yes saves under a chosen name, then the window closes.
    QString path = Dir.filePath("saved.vlm");
    Prompts.Answers = {QMessageBox::Yes};
    Prompts.Files.push_back({path});
    EXPECT_TRUE(Window->close());
    EXPECT_TRUE(Window->Editors().isEmpty());
    // A new document is written as UTF-8 with CR LF; the edit was made at the caret.
    EXPECT_EQ(ReadFile(path), QByteArray("y{ }\r\nza\xC4\x8D\xC3\xA1tek\r\n\r\nkonec"));
}

TEST_F(MainWindow, StatusBarFollowsTheActiveDocument) {
    Window->show(); // the editor reports caret moves as it updates its view
    ASSERT_EQ(Window->Editors().size(), 1);
    TfrmEditor *editor = Window->ActiveEditor();
    EXPECT_EQ(Window->pnlCaret->text(), "1 : 1");
    EXPECT_EQ(Window->pnlModified->text(), "");
    editor->SetCaret(2, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(Window->pnlCaret->text(), "2 : 4");
    editor->sedEditor->insert("x");
    EXPECT_EQ(Window->pnlModified->text(), QString::fromUtf8("Změněno"));

    Prompts.Files.push_back({Dir.filePath("x.vlm")});
    Trigger(Window->actSave);
    EXPECT_EQ(Window->pnlModified->text(), "");
    Window->UpdateActions();
    EXPECT_FALSE(Window->actSave->isEnabled());

    Trigger(Window->actClose);
    EXPECT_EQ(Window->pnlCaret->text(), "");
    Window->UpdateActions();
    for (QAction *action :
         {Window->actSave, Window->actSaveAs, Window->actClose, Window->actBreakPoint, Window->actCopy})
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    for (QAction *action : {Window->actNew, Window->actOpen, Window->actExit, Window->actViewOutput})
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
}

TEST_F(MainWindow, VocabularySwitchReachesHighlightersAndTranslateCaption) {
    New();
    Window->UpdateActions();
    EXPECT_TRUE(Window->actModeKirda->isChecked());
    EXPECT_TRUE(Window->susKirda->IsKeyWord(QString::fromUtf8("začátek")));

    Trigger(Window->actModeCode);
    EXPECT_FALSE(Window->algAlgorithm.KeyWords().PseudoMode);
    EXPECT_TRUE(Window->susKirda->IsKeyWord("begin"));
    EXPECT_TRUE(Window->susPrint->IsKeyWord("begin"));
    EXPECT_FALSE(Window->susKirda->IsKeyWord(QString::fromUtf8("začátek")));
    EXPECT_EQ(Window->actKirdaToCode->text(), QString::fromUtf8("Převést Kód na Češtinu"));
    Window->UpdateActions();
    EXPECT_TRUE(Window->actModeCode->isChecked());
    EXPECT_FALSE(Window->actModeKirda->isChecked());
}

TEST_F(MainWindow, ViewCommandsFollowTheirPanels) {
    Window->show();
    EXPECT_TRUE(Window->actViewErrors->isChecked());
    Trigger(Window->actViewErrors);
    EXPECT_FALSE(Window->dcpErrors->isVisible());
    Window->dcpErrors->show();
    EXPECT_TRUE(Window->actViewErrors->isChecked());
    Window->dcpErrors->close(); // the panel's own close button
    EXPECT_FALSE(Window->actViewErrors->isChecked());
}

} // namespace
