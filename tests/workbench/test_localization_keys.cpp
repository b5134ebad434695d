// The shipped language files against the keys the workbench looks up. WorkbenchKeys() is
// the one list of those keys, by section; a window that gains a translatable element adds
// its key there, and the walk over the real windows (WindowCases) checks that the list and
// the windows' element names meet. Both files must carry every key, no key outside the
// list (a misspelt key would silently do nothing), and texts whose placeholders match the
// built-in texts.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QRegularExpression>
#include <QSet>
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "frm_Algorithms.h"
#include "frm_Editor.h"
#include "unt_Localization.h"
#include "vlm_Encoding.h"
#include "vlm_Errors.h"
#include "vlm_Ini.h"
#include "vlm_KeyWords.h"

namespace {

QStringList Keys(const QStringList &elements, const QString &property) {
    QStringList keys;
    for (const QString &element : elements)
        keys.append(element + '.' + property);
    return keys;
}

QStringList Numbered(const QString &prefix, int count) {
    QStringList keys;
    for (int n = 0; n < count; ++n)
        keys.append(prefix + QString::number(n));
    return keys;
}

const QStringList MainWindowActions = {
    "actNew", "actOpen", "actSave", "actSaveAs", "actPreview", "actPrint", "actExit", "actHelp", "actAbout",
    "actCompile", "actRun", "actStepOver", "actStop", "actBreakPoint", "actCascade", "actHorizontal",
    "actVertical", "actMinimize", "actNormalize", "actMaximize", "actClose", "actCodeFormat", "actModeKirda",
    "actModeCode", "actSetupEditor", "actSetupDefault", "actViewOutput", "actViewErrors", "actViewVariables",
    "actViewArrays", "actUndo", "actRedo", "actCopy", "actCut", "actPaste", "actSearch", "actReplace",
    "actSearchNext", "actSearchPrior"};
const QStringList MainWindowHints = {
    "actNew", "actOpen", "actSave", "actSaveAs", "actPreview", "actPrint", "actExit", "actCompile", "actRun",
    "actStepOver", "actStop", "actBreakPoint", "actCascade", "actHorizontal", "actVertical", "actCodeFormat",
    "actModeKirda", "actModeCode", "actSetupEditor", "actSetupDefault", "actUndo", "actRedo", "actCopy",
    "actCut", "actPaste", "actSearch", "actReplace", "actSearchNext", "actSearchPrior"};

// The keys the workbench looks up, by section.
const std::map<QString, QStringList> &WorkbenchKeys() {
    static const std::map<QString, QStringList> keys = [] {
        std::map<QString, QStringList> k;
        k["Language"] = {"Locale"};

        MessageTable().clear();
        LoadDefaultMessages();
        for (const QString &line : MessageTable())
            k["Messages"].append(line.section('=', 0, 0));
        k["Menu"] = ToolkitTextKeys();
        k["algAlgorithm"] = Numbered("Error.", ErrorMessageCount) + Numbered("ExpressionError.", ExpressionErrorMessageCount);

        k["frmAlgorithms"] =
            Keys({"frmAlgorithms", "mnuFile", "mnuReopen", "mnuEdit", "mnuView", "mnuToolbars", "mnuRun", "mnuTools",
                  "mnuMode", "mnuWindows", "mnuCurrentWindow", "mnuWindowList", "mnuHelp", "tlbFile", "tlbRun",
                  "tlbTools", "tlbEdit", "dcpOutput", "dcpErrors", "dcpVariables", "dcpArrays", "clmName", "clmValue"},
                 "Caption") +
            Keys(MainWindowActions, "Caption") + Keys(MainWindowHints, "Hint") +
            QStringList{"opdFile.Title", "opdFile.Filter"} +
            // The run and text commands: the stop-mark clearing, the examples, find and replace.
            Keys({"actClearBreakPoints", "mnuExamples", "lblFindText", "lblReplaceText", "chbWholeWords",
                  "chbMatchCase", "grbDirection", "rbtUp", "rbtDown", "btnFindNext", "btnReplace", "btnReplaceAll",
                  "btnCancel"},
                 "Caption") +
            QStringList{"actClearBreakPoints.Hint", "fidFind.Title", "rpdReplace.Title"};

        // No "frmEditor.Caption": a translation of open windows would rename every document.
        k["frmEditor"] = {"svdFile.Title", "svdFile.Filter", "sedEditor.Lines.New"};

        const QStringList previewActions = {"actFirst", "actPrior", "acrNext", "actLast", "actPrint",
                                            "actHighLight", "actColored", "actNumbers", "actClose"};
        k["frmPrintPreview"] = Keys({"frmPrintPreview", "actZoom", "actWholePage", "actPageWidth", "actHelp"}, "Caption") +
                               Keys(previewActions, "Caption") + Keys(previewActions, "Hint");

        const QStringList setupActions = {"actOK", "actCancel", "actApply", "actBackgroundForAll", "actDefaultKeyWords"};
        k["frmSetup"] =
            Keys({"frmSetup", "tshEditor", "lblLanguage", "grbFont", "lblFontName", "lblFontSize", "chbRowNumbers",
                  "chbAssociateExt", "tshOutputWindows", "grbOutputFont", "lblFontNameOutput", "lblFontSizeOutput",
                  "chbFontStyleBoldOutput", "grbErrorsFont", "lblFontNameErrors", "lblFontSizeErrors",
                  "chbFontStyleBoldErrors", "grbVariablesFont", "lblFontNameVariables", "lblFontSizeVariables",
                  "chbFontStyleBoldVariables", "tshJustify", "lblJustifyVariables", "lblJustifyArrays", "tshColors",
                  "lblSchemes", "lblElements", "chgFontStyle", "lblForeground", "lblBackground", "tshKeyWords",
                  "clmName", "clmValue", "lblMode", "grbPreview", "actHelp"},
                 "Caption") +
            Keys(setupActions, "Caption") + Keys(setupActions, "Hint") +
            Keys({"cbxJustifyVariables", "cbxJustifyArrays", "cbxSchemes", "lbxElements", "cbxMode"}, "Items") +
            QStringList{"sedEditor.Lines"} + Numbered("chgFontStyle.Items.", 4) + Numbered("Colors.Items.", 15) +
            QStringList{"Colors.NoColor"};

        k["frmFirstRun"] = Keys({"frmFirstRun", "lblFirstRun", "lblLanguage", "actOK", "actHelp"}, "Caption");
        k["frmAbout"] = Keys({"frmAbout", "lblName", "lblVersionCap", "lblAutor", "lblEmailCap", "lblWebCap",
                              "lblDescription", "btnOK"},
                             "Caption") +
                        Keys({"lblMail", "lblWeb"}, "Hint");
        return k;
    }();
    return keys;
}

// The pseudocode words: only a language that has its own pseudocode carries them.
QStringList KeyWordKeys() {
    QStringList keys = {"WordChars"};
    for (int kind = wkIf; kind <= wkNot; ++kind)
        keys.append(QString::fromStdString(TKeyWords::LanguageFileKey(static_cast<TWordKind>(kind))));
    return keys;
}

QString LanguageFile(const char *name) {
    return QString::fromUtf8(VELMORA_SOURCE_DIR) + "/Languages/" + QString::fromUtf8(name) + ".lng";
}

QString Placeholders(const QString &text) {
    static const QRegularExpression placeholder("%[sd%]");
    QString sequence;
    for (auto match = placeholder.globalMatch(text); match.hasNext();)
        sequence += match.next().captured();
    return sequence;
}

QString BuiltInMessage(const QString &key) {
    MessageTable().clear();
    LoadDefaultMessages();
    return GetMessageText(key);
}

QString BuiltInCatalogueText(const QString &key) {
    ResetErrorMessages();
    const int n = key.section('.', 1).toInt();
    return QString::fromStdString(
        Cp1250ToUtf8(key.startsWith("Error.") ? ErrorMessages[n] : ExpressionErrorMessages[n]));
}

class ShippedLanguage : public ::testing::TestWithParam<const char *> {
protected:
    QString File() const { return LanguageFile(GetParam()); }
    QString Value(const QString &section, const QString &key) const { return ReadLngValue(File(), section, key); }
};

TEST_P(ShippedLanguage, CarriesEveryKeyTheWorkbenchLooksUp) {
    ASSERT_TRUE(QFile::exists(File())) << File().toStdString();
    for (const auto &[section, keys] : WorkbenchKeys())
        for (const QString &key : keys)
            EXPECT_FALSE(Value(section, key).isEmpty()) << "[" << section.toStdString() << "] " << key.toStdString();
}

TEST_P(ShippedLanguage, CarriesNoKeyOutsideTheList) {
    const TIniFile ini(QFile::encodeName(File()).toStdString());
    std::map<QString, QStringList> known = WorkbenchKeys();
    known["KeyWords"] = KeyWordKeys();
    for (const auto &[section, keys] : known) {
        QSet<QString> expected;
        for (const QString &key : keys)
            expected.insert(key.toLower());
        for (const std::string &key : ini.ReadSection(section.toStdString()))
            EXPECT_TRUE(expected.contains(QString::fromStdString(key).toLower()))
                << "[" << section.toStdString() << "] " << key;
    }
}

TEST_P(ShippedLanguage, TextsKeepThePlaceholdersOfTheBuiltInTexts) {
    for (const QString &key : WorkbenchKeys().at("Messages"))
        EXPECT_EQ(Placeholders(Value("Messages", key)), Placeholders(BuiltInMessage(key))) << key.toStdString();
    for (const QString &key : WorkbenchKeys().at("algAlgorithm"))
        EXPECT_EQ(Placeholders(Value("algAlgorithm", key)), Placeholders(BuiltInCatalogueText(key)))
            << key.toStdString();
}

TEST_P(ShippedLanguage, ListsAndFiltersReadWhole) {
    const std::pair<const char *, int> setupLists[] = {{"cbxJustifyVariables.Items", 3}, {"cbxJustifyArrays.Items", 3},
                                                       {"cbxSchemes.Items", 4},          {"lbxElements.Items", 9},
                                                       {"cbxMode.Items", 2},             {"sedEditor.Lines", 8}};
    for (const auto &[key, count] : setupLists)
        EXPECT_EQ(CommaTextToList(Value("frmSetup", key)).size(), count) << key;
    EXPECT_EQ(CommaTextToList(Value("frmSetup", "sedEditor.Lines")).at(2).left(4), "  a ");

    // Both languages keep the Czech starting text of a new algorithm.
    EXPECT_EQ(CommaTextToList(Value("frmEditor", "sedEditor.Lines.New")),
              QStringList({"{ }", QString::fromUtf8("začátek"), "", "konec"}));

    EXPECT_EQ(FilterToNameFilters(Value("frmAlgorithms", "opdFile.Filter")).size(), 3);
    EXPECT_EQ(FilterToNameFilters(Value("frmEditor", "svdFile.Filter")).size(), 3);
    EXPECT_TRUE(FilterToNameFilters(Value("frmEditor", "svdFile.Filter")).last().endsWith("(*)"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::Values("English", "Čeština"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return info.index == 0 ? std::string("English") : std::string("Czech");
                         });

TEST(ShippedLanguages, NameTheirQtLocale) {
    EXPECT_EQ(ReadLngValue(LanguageFile("English"), "Language", "Locale"), "en");
    EXPECT_EQ(ReadLngValue(LanguageFile("Čeština"), "Language", "Locale"), "cs");
}

TEST(ShippedLanguages, CzechRestatesTheBuiltInTextsWithTheirTypingErrorsCorrected) {
    const QString file = LanguageFile("Čeština");
    const QSet<QString> corrected = {"AutoFormatMessage", "NewVersionMessage", "DefaultSetupQuestion"};
    for (const QString &key : WorkbenchKeys().at("Messages")) {
        if (corrected.contains(key)) {
            EXPECT_NE(ReadLngMessage(key, file), BuiltInMessage(key)) << key.toStdString();
        } else {
            EXPECT_EQ(ReadLngMessage(key, file), BuiltInMessage(key)) << key.toStdString();
        }
    }
    EXPECT_TRUE(ReadLngMessage("AutoFormatMessage", file).startsWith(QString::fromUtf8("Automatické")));
    EXPECT_TRUE(ReadLngMessage("NewVersionMessage", file).contains("k dispozici"));
    EXPECT_TRUE(ReadLngMessage("DefaultSetupQuestion", file).contains(QString::fromUtf8("Veškerá vaše")));
    EXPECT_EQ(ReadLngValue(file, "frmAlgorithms", "mnuToolbars.Caption"), QString::fromUtf8("Panely nástrojů"));
    EXPECT_EQ(ReadLngValue(file, "frmAlgorithms", "actModeKirda.Caption"), QString::fromUtf8("Český pseudokód"));
    EXPECT_EQ(ReadLngValue(file, "frmAlgorithms", "actCut.Hint"), QString::fromUtf8("Vyjmout označený text"));

    // The error texts have no typing errors: the file gives exactly the built-in catalogue.
    for (const QString &key : WorkbenchKeys().at("algAlgorithm"))
        EXPECT_EQ(ReadLngValue(file, "algAlgorithm", key), BuiltInCatalogueText(key)) << key.toStdString();
}

TEST(ShippedLanguages, OnlyCzechCarriesPseudocodeWordsAndTheyAreTheDefaults) {
    TKeyWords english;
    english.Setskw(wkIf, "x");
    ASSERT_TRUE(english.LoadFromLanguageFile(QFile::encodeName(LanguageFile("English")).toStdString()));
    EXPECT_EQ(english.skw(wkIf), "x");  // no "KeyWords" section

    const TKeyWords defaults;
    TKeyWords czech;
    czech.SetcsWordChars("abc");
    for (int kind = wkIf; kind <= wkNot; ++kind)
        czech.Setskw(static_cast<TWordKind>(kind), "x" + std::to_string(kind));
    ASSERT_TRUE(czech.LoadFromLanguageFile(QFile::encodeName(LanguageFile("Čeština")).toStdString()));
    EXPECT_TRUE(czech.SamePseudoWords(&defaults));
    EXPECT_EQ(czech.csWordChars(), defaults.csWordChars());
}

// ---- The real windows against the list -----------------------------------------------

struct TWindowCase {
    const char *Section;
    std::function<std::unique_ptr<QWidget>()> Create;
    QStringList Untranslated;  // named elements whose texts are set at run time
    // Grid columns and their grid: the run panels bring the grid, so its columns can only be
    // asked for once it is there.
    std::map<QString, QString> ColumnGrids;
};

std::vector<TWindowCase> WindowCases() {
    return {
        {"frmAlgorithms", [] { return std::make_unique<TfrmAlgorithms>(); },
         {"actKirdaToCode", "pnlRunState", "pnlCaret", "pnlModified", "pnlHint", "pnlKeyboard"},
         {{"clmName", "grdVariables"}, {"clmValue", "grdVariables"}}},
        {"frmEditor", [] { return std::make_unique<TfrmEditor>(); }, {}, {}},
    };
}

// An element showing a text of its own, in the role of a caption.
bool ShowsOwnCaption(QObject *element) {
    if (LinkedAction(element))
        return false;
    if (auto *action = qobject_cast<QAction *>(element))
        return !action->text().isEmpty() && !action->isSeparator();
    if (auto *menu = qobject_cast<QMenu *>(element))
        return !menu->title().isEmpty();
    if (qobject_cast<QDockWidget *>(element) || qobject_cast<QToolBar *>(element))
        return !static_cast<QWidget *>(element)->windowTitle().isEmpty();
    if (auto *button = qobject_cast<QAbstractButton *>(element))
        return !button->text().isEmpty();
    if (auto *label = qobject_cast<QLabel *>(element))
        return !label->text().isEmpty();
    return false;
}

TEST(ShippedLanguages, WindowsAndTheKeyListUseTheSameElementNames) {
    for (const TWindowCase &window : WindowCases()) {
        SCOPED_TRACE(window.Section);
        std::unique_ptr<QWidget> form = window.Create();
        ASSERT_EQ(QString::fromLatin1(form->metaObject()->className()).mid(1), window.Section);
        const QStringList names = FormElementNames(form.get());
        const QSet<QString> present(names.begin(), names.end());
        const QStringList &keys = WorkbenchKeys().at(window.Section);

        // Every key names an element the window has.
        for (const QString &key : keys) {
            const QString element = key.section('.', 0, 0);
            const auto grid = window.ColumnGrids.find(element);
            if (grid != window.ColumnGrids.end() && !present.contains(grid->second))
                continue;
            EXPECT_TRUE(element == form->objectName() || present.contains(element)) << key.toStdString();
        }
        // Every element that shows a caption of its own has its key.
        const QSet<QString> keySet(keys.begin(), keys.end());
        for (QObject *element : form->findChildren<QObject *>()) {
            const QString name = element->objectName();
            if (present.contains(name) && !window.Untranslated.contains(name) && ShowsOwnCaption(element)) {
                EXPECT_TRUE(keySet.contains(name + ".Caption")) << name.toStdString();
            }
        }
    }
}

TEST(ShippedLanguages, TranslateTheRealWindows) {
    const QString english = LanguageFile("English");
    TfrmAlgorithms main;
    TranslateForm(&main, english, false);
    EXPECT_EQ(main.actOpen->text(), "Open...");
    EXPECT_EQ(main.mnuToolbars->title(), "Toolbars");
    EXPECT_EQ(main.dcpVariables->windowTitle(), "Variables");

    TfrmEditor editor;
    editor.sedEditor->setText("x");
    TranslateForm(&editor, english, true);
    EXPECT_EQ(editor.sedEditor->lines(), 4);
    EXPECT_EQ(editor.sedEditor->text(3), "konec");
}

}  // namespace
