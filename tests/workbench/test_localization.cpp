// Language files and the message table: the table and its lookup, loading a language's
// messages and toolkit texts, comma text, file filters, the language folder, translating a
// small window, and Qt's own translations.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "unt_Localization.h"
#include "vlm_Exceptions.h"

namespace {

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QString &content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(content.toUtf8());
    return path;
}

class LocalizationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        MessageTable().clear();
        LoadDefaultMessages();
        ResetToolkitTexts();
    }
    void TearDown() override { ResetToolkitTexts(); }

    QString Write(const QString &name, const QString &content) { return WriteFile(Dir, name, content); }

    QTemporaryDir Dir;
};

// ---- The message table ---------------------------------------------------------------

TEST_F(LocalizationTest, BuiltInTableHoldsTheTwentySixLinesInOrderThenTheRunTexts) {
    const QStringList keys = {"Error", "ReadCaption", "AlgorithmCaption", "CzechToPasCaption", "CzechToPasHint",
                              "PasToCzechCaption", "PasToCzechHint", "AutoFormatCaption", "AutoFormatMessage",
                              "NewVersionCaption", "NewVersionMessage", "KeyWordMustBeUnique", "KeyWordNotNull",
                              "KeyWordFirstNotNumber", "KeyWordNotBadChars", "KeyWordMustBeWord",
                              "LanguageChangedAndKeyWords", "ReplaceFileCaption", "ReplaceFileMessage",
                              "DefaultSetupQuestion", "DefaultSetup", "Close", "SaveAlgorithmBeforeExit",
                              "Changed", "AssociateExtCaption", "AssociateExtMessage", "RunFailure",
                              "RunStateFinished", "RunStateStopped", "RunStateError", "RunStateFailure"};
    const QStringList &table = MessageTable();
    ASSERT_EQ(table.size(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_TRUE(table[i].startsWith(keys[i] + '=')) << table[i].toStdString();

    // The built-in texts keep their original wording, typing errors included.
    EXPECT_EQ(GetMessageText("AutoFormatMessage"),
              QString::fromUtf8("Automaticé formátování změní současné rozložení kódu. Pouze validní kód bude "
                                "naformátován správně."));
    EXPECT_TRUE(GetMessageText("NewVersionMessage").contains("k dipsozici"));
    EXPECT_TRUE(GetMessageText("DefaultSetupQuestion").contains(QString::fromUtf8("Veškerá veše nastavení")));
    EXPECT_EQ(GetMessageText("SaveAlgorithmBeforeExit"),
              QString::fromUtf8("Přejete si algoritmus \"%s\" před jeho uzavřením nejprve uložit?"));
}

TEST_F(LocalizationTest, LookupIgnoresCaseAndAnswersUnknownMessage) {
    MessageTable() = QStringList{"error=lower wins", "Error=second", "Equation=a=b", "NoEquals"};
    EXPECT_EQ(GetMessageText("Error"), "lower wins");
    EXPECT_EQ(GetMessageText("ERROR"), "lower wins");
    EXPECT_EQ(GetMessageText("equation"), "a=b");  // the text runs from the first "="
    EXPECT_EQ(GetMessageText("Missing"), "unknown message");
    EXPECT_EQ(GetMessageText("NoEquals"), "");
    EXPECT_EQ(GetMessageText(""), "unknown message");
}

TEST_F(LocalizationTest, FormatMessageFillsTheTemplateOrFailsCleanly) {
    EXPECT_EQ(FormatMessage("Error", {3, 12, QString::fromUtf8("zpráva")}),
              QString::fromUtf8("[Chyba 3] (řádek 12): zpráva"));
    EXPECT_EQ(FormatMessage("AlgorithmCaption", {qint64(7)}), "Algoritmus 7");
    EXPECT_THROW(FormatMessage("Error", {3}), EPlainError);
    // A key the table lacks formats as its "unknown message" text.
    EXPECT_EQ(FormatMessage("Nothing", {1}), "unknown message");
}

TEST_F(LocalizationTest, LoadMessagesReplacesTheWholeTableOnlyWhenTheFileExists) {
    LoadMessages(Dir.filePath("Missing.lng"));
    EXPECT_EQ(GetMessageText("Close"), QString::fromUtf8("Zavřít"));

    const QString file = Write("A.lng", "[Messages]\nClose=Close it\nEmpty=\nError=[E %d] %d %s\n[Other]\nX=1\n");
    LoadMessages(file);
    EXPECT_EQ(MessageTable(), QStringList({"Close=Close it", "Error=[E %d] %d %s"}));
    EXPECT_EQ(GetMessageText("Empty"), "unknown message");           // empty counts as missing
    EXPECT_EQ(GetMessageText("ReadCaption"), "unknown message");     // built-ins are not kept

    LoadMessages(Write("B.lng", "[Messages]\n[Menu]\ndxSBAR_DIALOGOK=Fine\n"));
    EXPECT_TRUE(MessageTable().isEmpty());
    EXPECT_EQ(GetMessageText("Error"), "unknown message");
}

TEST_F(LocalizationTest, SingleValuesAreReadStraightFromTheFile) {
    const QString file = Write("A.lng", QString::fromUtf8("[Messages]\nClose=  \"Zavřít okno\"  \n"
                                                          "[frmEditor]\nsedEditor.Lines.New=a,b\n"));
    EXPECT_EQ(ReadLngMessage("close", file), QString::fromUtf8("Zavřít okno"));
    EXPECT_EQ(GetMessageText("Close"), QString::fromUtf8("Zavřít"));  // the table is untouched
    EXPECT_EQ(ReadLngValue(file, "FRMEDITOR", "sedEditor.Lines.New"), "a,b");
    EXPECT_EQ(ReadLngValue(file, "frmEditor", "Missing"), "");
    EXPECT_EQ(ReadLngMessage("Close", Dir.filePath("Missing.lng")), "");
}

// ---- Toolkit texts -------------------------------------------------------------------

TEST_F(LocalizationTest, ToolkitTextsHaveFiftyFiveKeysWithEnglishDefaults) {
    const QStringList &keys = ToolkitTextKeys();
    EXPECT_EQ(keys.size(), 55);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), 55);
    EXPECT_EQ(keys.first(), "scxGridNoDataInfoText");
    EXPECT_EQ(keys.last(), "dxSBAR_MENUANIM5");
    EXPECT_EQ(ToolkitText("scxGridNoDataInfoText"), "<No data to display>");
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGOK"), "OK");
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGCANCEL"), "Cancel");
    EXPECT_EQ(ToolkitText("dxSBAR_TABSHEET1"), " Toolbars ");
}

TEST_F(LocalizationTest, AToolkitTextOnceReplacedStaysWhenALaterFileLacksTheKey) {
    LoadToolkitTexts(Write("A.lng", QString::fromUtf8("[Menu]\ndxSBAR_DIALOGOK=Potvrdit\n"
                                                      "scxGridNoDataInfoText=<Nic>\ndxSomethingElse=x\n")));
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGOK"), "Potvrdit");
    EXPECT_EQ(ToolkitText("dxSomethingElse"), "");  // a key with no counterpart is ignored

    LoadToolkitTexts(Write("B.lng", "[Menu]\ndxSBAR_DIALOGOK=\ndxSBAR_DIALOGCANCEL=Storno\n"));
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGOK"), "Potvrdit");
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGCANCEL"), "Storno");
    EXPECT_EQ(ToolkitText("scxGridNoDataInfoText"), "<Nic>");

    LoadToolkitTexts(Dir.filePath("Missing.lng"));
    EXPECT_EQ(ToolkitText("dxSBAR_DIALOGCANCEL"), "Storno");
}

// ---- Comma text ----------------------------------------------------------------------

struct TCommaCase {
    const char *Text;
    QStringList List;
};

TEST(CommaText, Reading) {
    const TCommaCase cases[] = {
        {"\"{ }\",začátek,konec", {"{ }", "začátek", "konec"}},
        {"Vlevo,Vpravo,\"Na střed\"", {"Vlevo", "Vpravo", "Na střed"}},
        {"", {}},
        {"\"\"", {""}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},           // the comma is not at the very end
        {"  a ,b", {"a", "b"}},
        {"a b", {"a", "b"}},      // a blank ends an unquoted item
        {"a,,b", {"a", "", "b"}},
        {"\"a\"\"b\",c", {"a\"b", "c"}},
        {"\"a\"b", {"a", "b"}},
        {"\"unclosed, still", {"unclosed, still"}},
        {"\"{ }\",začátek,\"\",konec", {"{ }", "začátek", "", "konec"}},
    };
    for (const TCommaCase &c : cases) {
        QStringList expected;
        for (const QString &item : c.List)
            expected.append(item);
        EXPECT_EQ(CommaTextToList(QString::fromUtf8(c.Text)), expected) << c.Text;
    }
}

TEST(CommaText, WritingAndBack) {
    const TCommaCase cases[] = {
        {"", {}},
        {"\"\"", {""}},
        {"a,b", {"a", "b"}},
        {"\"{ }\",začátek,\"\",konec", {"{ }", "začátek", "", "konec"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"tab\tx\"", {"tab\tx"}},
        {"\"  a := 0; // x\"", {"  a := 0; // x"}},
    };
    for (const TCommaCase &c : cases) {
        EXPECT_EQ(ListToCommaText(c.List), QString::fromUtf8(c.Text)) << c.Text;
        EXPECT_EQ(CommaTextToList(ListToCommaText(c.List)), c.List) << c.Text;
    }
}

TEST_F(LocalizationTest, AListQuotedAtBothEndsComesApartUnlessWrappedOnceMore) {
    const QString file = Write("A.lng", QString::fromUtf8("[S]\nPlain=\"Vlevo\",Vpravo,\"Na střed\"\n"
                                                          "Wrapped='\"Vlevo\",Vpravo,\"Na střed\"'\n"));
    EXPECT_NE(CommaTextToList(ReadLngValue(file, "S", "Plain")),
              QStringList({"Vlevo", "Vpravo", QString::fromUtf8("Na střed")}));
    EXPECT_EQ(CommaTextToList(ReadLngValue(file, "S", "Wrapped")),
              QStringList({"Vlevo", "Vpravo", QString::fromUtf8("Na střed")}));
}

TEST(FileFilters, BecomeQtNameFilters) {
    EXPECT_EQ(FilterToNameFilters(QString::fromUtf8(
                  "Velmora (*.vlm)|*.vlm|Textové soubory (*.txt)|*.txt|Všechny soubory|*.*")),
              QStringList({"Velmora (*.vlm)", QString::fromUtf8("Textové soubory (*.txt)"),
                           QString::fromUtf8("Všechny soubory (*)")}));
    EXPECT_EQ(FilterToNameFilters("All (*.*)|*.*|Texts|*.txt;*.text"), QStringList({"All (*)", "Texts (*.txt *.text)"}));
}

// ---- Where the files are -------------------------------------------------------------

TEST_F(LocalizationTest, ListLanguagesNamesTheLngFilesWithoutExtension) {
    QDir root(Dir.path());
    ASSERT_TRUE(root.mkpath("Languages/Sub.lng"));  // a folder is no language
    for (const char *name : {"Deutsch.lng", "English.lng", "Čeština.lng", "notes.txt", "Old.lng.bak", "UPPER.LNG"})
        Write(QString::fromUtf8("Languages/") + QString::fromUtf8(name), "[Messages]\n");

    QStringList list = {"stale"};
    ListLanguages(Dir.filePath("Languages"), list);
    EXPECT_EQ(list, QStringList({"Deutsch", "English", QString::fromUtf8("Čeština")}));

    ListLanguages(Dir.filePath("Languages") + '/', list);
    EXPECT_EQ(list.size(), 3);

    ListLanguages(Dir.filePath("Nowhere"), list);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(LocalizationTest, LanguageFilesLieBesideTheProgramElseInTheInstalledShareFolder) {
    QDir root(Dir.path());
    ASSERT_TRUE(root.mkpath("bin"));
    ASSERT_TRUE(root.mkpath("share/velmora/Languages"));
    const QString bin = Dir.filePath("bin");
    EXPECT_EQ(LanguageFileName("English", bin), QDir::cleanPath(Dir.filePath("share/velmora/Languages")) + "/English.lng");

    ASSERT_TRUE(root.mkpath("bin/Languages"));
    EXPECT_EQ(LanguageFileName(QString::fromUtf8("Čeština"), bin), bin + QString::fromUtf8("/Languages/Čeština.lng"));
    EXPECT_EQ(LanguagesFolder(), QCoreApplication::applicationDirPath() + "/Languages/");
}

// ---- Translating a window ------------------------------------------------------------

class TfrmTest : public QDialog {
    Q_OBJECT
public:
    TfrmTest() {
        setObjectName("frmTest");
        setWindowTitle(QString::fromUtf8("Původní"));
        actOK = new QAction(QString::fromUtf8("OK"), this);
        actOK->setObjectName("actOK");
        btnOK = new QPushButton(this);
        btnOK->setObjectName("btnOK");
        LinkButtonToAction(btnOK, actOK);
        btnOwn = new QPushButton("own", this);
        btnOwn->setObjectName("btnOwn");
        actTool = new QAction("tool", this);
        actTool->setObjectName("actTool");
        tbnTool = new QToolButton(this);
        tbnTool->setObjectName("tbnTool");
        tbnTool->setDefaultAction(actTool);
        lblName = new QLabel("name", this);
        lblName->setObjectName("lblName");
        dcpOut = new QDockWidget("out", this);
        dcpOut->setObjectName("dcpOut");
        mnuFile = new QMenu("file", this);
        mnuFile->setObjectName("mnuFile");
        pcgMain = new QTabWidget(this);
        tshPage = new QWidget;
        tshPage->setObjectName("tshPage");
        pcgMain->addTab(tshPage, "page");
        sedEditor = new QsciScintilla(tshPage);
        sedEditor->setObjectName("sedEditor");
        sedEditor->setText(QString::fromUtf8("původní"));
        sedEditor->setModified(false);
        cbxList = new QComboBox(tshPage);
        cbxList->setObjectName("cbxList");
        cbxList->addItems({"1", "2", "3"});
        cbxList->setCurrentIndex(1);
        opdFile = new QFileDialog(this);
        opdFile->setObjectName("opdFile");
        grdTable = new QTableWidget(0, 2, this);
        grdTable->setObjectName("grdTable");
        SetColumnNames(grdTable, {"clmA", "clmB"});
    }

    QAction *actOK, *actTool;
    QPushButton *btnOK, *btnOwn;
    QToolButton *tbnTool;
    QLabel *lblName;
    QDockWidget *dcpOut;
    QMenu *mnuFile;
    QTabWidget *pcgMain;
    QWidget *tshPage;
    QsciScintilla *sedEditor;
    QComboBox *cbxList;
    QFileDialog *opdFile;
    QTableWidget *grdTable;
};

// A window of ours inside another is translated on its own, never with its host's section.
class TfrmInner : public QWidget {
    Q_OBJECT
public:
    explicit TfrmInner(QWidget *parent) : QWidget(parent) {
        lblInner = new QLabel("inner", this);
        lblInner->setObjectName("lblInner");
    }
    QLabel *lblInner;
};

const char *const TestLanguage = R"([frmTest]
frmTest.Caption=Nový titulek
actOK.Caption=Potvrdit
actOK.Hint=Krátká|Dlouhá nápověda
btnOK.Caption=NEVER
btnOK.Hint=NEVER
btnOwn.Caption=Vlastní
btnOwn.Hint=Vlastní nápověda
tbnTool.Caption=NEVER
actTool.Caption=Nástroj
lblName.Caption=Jméno
dcpOut.Caption=Výstup
mnuFile.Caption=Soubor
tshPage.Caption=Stránka
opdFile.Title=Otevřít algoritmus...
opdFile.Filter=Velmora (*.vlm)|*.vlm|Všechny soubory|*.*
sedEditor.Lines.New="{ }",začátek,"",konec
cbxList.Items=Vlevo,Vpravo,"Na střed"
clmA.Caption=Sloupec A
lblInner.Caption=NEVER
)";

TEST_F(LocalizationTest, TranslateFormAppliesTheWindowsSectionByObjectName) {
    TfrmTest form;
    auto *inner = new TfrmInner(&form);
    const QString file = Write("Test.lng", QString::fromUtf8(TestLanguage));

    TranslateForm(&form, file, false);

    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Nový titulek"));
    EXPECT_EQ(form.actOK->text(), "Potvrdit");
    EXPECT_EQ(form.actOK->toolTip(), QString::fromUtf8("Krátká"));
    EXPECT_EQ(form.actOK->statusTip(), QString::fromUtf8("Dlouhá nápověda"));
    // Linked elements show their action's texts, never keys under their own names.
    EXPECT_EQ(form.btnOK->text(), "Potvrdit");
    EXPECT_EQ(form.btnOK->toolTip(), QString::fromUtf8("Krátká"));
    EXPECT_EQ(form.tbnTool->text(), QString::fromUtf8("Nástroj"));
    EXPECT_EQ(form.btnOwn->text(), QString::fromUtf8("Vlastní"));
    EXPECT_EQ(form.btnOwn->toolTip(), QString::fromUtf8("Vlastní nápověda"));
    EXPECT_EQ(form.lblName->text(), QString::fromUtf8("Jméno"));
    EXPECT_EQ(form.dcpOut->windowTitle(), QString::fromUtf8("Výstup"));
    EXPECT_EQ(form.mnuFile->title(), "Soubor");
    EXPECT_EQ(form.pcgMain->tabText(0), QString::fromUtf8("Stránka"));
    EXPECT_EQ(form.opdFile->windowTitle(), QString::fromUtf8("Otevřít algoritmus..."));
    EXPECT_EQ(form.opdFile->nameFilters(),
              QStringList({"Velmora (*.vlm)", QString::fromUtf8("Všechny soubory (*)")}));
    EXPECT_EQ(form.grdTable->horizontalHeaderItem(0)->text(), "Sloupec A");
    EXPECT_EQ(inner->lblInner->text(), "inner");

    // Lists without the suffix: the combo box takes its items and keeps its choice.
    EXPECT_EQ(form.cbxList->count(), 3);
    EXPECT_EQ(form.cbxList->itemText(2), QString::fromUtf8("Na střed"));
    EXPECT_EQ(form.cbxList->currentIndex(), 1);
    // ".Lines.New" is read only for a new window.
    EXPECT_EQ(form.sedEditor->text(), QString::fromUtf8("původní"));
}

TEST_F(LocalizationTest, TranslateFormOfANewWindowGivesTheStartingText) {
    TfrmTest form;
    TranslateForm(&form, Write("Test.lng", QString::fromUtf8(TestLanguage)), true);
    ASSERT_EQ(form.sedEditor->lines(), 4);
    EXPECT_EQ(form.sedEditor->text(0).trimmed(), "{ }");
    EXPECT_EQ(form.sedEditor->text(1).trimmed(), QString::fromUtf8("začátek"));
    EXPECT_EQ(form.sedEditor->text(2).trimmed(), "");
    EXPECT_EQ(form.sedEditor->text(3), "konec");
    EXPECT_FALSE(form.sedEditor->isModified());
    EXPECT_FALSE(form.sedEditor->isUndoAvailable());
    // ".Items" has no ".New" key in the file, so the new window keeps its own items.
    EXPECT_EQ(form.cbxList->itemText(0), "1");
}

TEST_F(LocalizationTest, TranslateFormWithoutAFileChangesNothing) {
    TfrmTest form;
    TranslateForm(&form, Dir.filePath("Missing.lng"), true);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Původní"));
    EXPECT_EQ(form.btnOK->text(), "OK");
    EXPECT_EQ(form.sedEditor->text(), QString::fromUtf8("původní"));
}

TEST_F(LocalizationTest, ALinkedButtonFollowsAndTriggersItsAction) {
    TfrmTest form;
    int triggered = 0;
    QObject::connect(form.actOK, &QAction::triggered, [&] { ++triggered; });
    form.actOK->setEnabled(false);
    EXPECT_FALSE(form.btnOK->isEnabled());
    form.actOK->setEnabled(true);
    form.btnOK->click();
    EXPECT_EQ(triggered, 1);
    EXPECT_EQ(LinkedAction(form.btnOK), form.actOK);
    EXPECT_EQ(LinkedAction(form.tbnTool), form.actTool);
    EXPECT_EQ(LinkedAction(form.btnOwn), nullptr);
}

// ---- Qt's own translations -----------------------------------------------------------

TEST_F(LocalizationTest, QtTranslationsFollowTheLanguageFilesLocale) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + "/qtbase_cs.qm"))
        GTEST_SKIP() << "Qt's Czech translations are not installed";
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };

    EXPECT_FALSE(LoadQtTranslations(Write("None.lng", "[Messages]\nClose=x\n")));
    EXPECT_EQ(cancel(), "Cancel");
    EXPECT_TRUE(LoadQtTranslations(Write("cs.lng", "[Language]\nLocale=cs\n")));
    EXPECT_EQ(cancel(), QString::fromUtf8("Zrušit"));
    // A file without a locale keeps what is installed; another locale replaces it.
    EXPECT_FALSE(LoadQtTranslations(Dir.filePath("None.lng")));
    EXPECT_EQ(cancel(), QString::fromUtf8("Zrušit"));
    LoadQtTranslations(Write("xx.lng", "[Language]\nLocale=xx\n"));
    EXPECT_EQ(cancel(), "Cancel");
}

}  // namespace

#include "test_localization.moc"
