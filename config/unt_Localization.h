#pragma once
// Language files and the message table: every text the workbench shows can come from a
// language file ("Languages/<name>.lng"), read through the core's INI reader.
//
// The file is ordered as a translator meets it: where the files are, the message table,
// single values, the toolkit's own texts, translating a window by its elements' object
// names, the comma text of lists, and Qt's own translations.
//
// Everything here runs on the main thread. Values from the INI reader are UTF-8; here they
// are QStrings. A missing file changes nothing, and a key with an empty value counts as
// missing.

#include <QString>
#include <QStringList>
#include <QVariantList>

class QAbstractButton;
class QAbstractItemView;
class QAction;
class QObject;
class QWidget;

// ---- Where the language files are ----------------------------------------------------

// "Languages/" beside the program, else "../share/velmora/Languages/" relative to it (an
// installed program). `programDir` defaults to the folder of the running executable.
// The result ends with "/".
QString LanguagesFolder(const QString &programDir = QString());
// The full path of a language's file: LanguagesFolder() + name + ".lng".
QString LanguageFileName(const QString &language, const QString &programDir = QString());
// Clears `list` and fills it with the names of the "*.lng" files of `folder` (with or
// without a trailing separator), without their extension; names ending in "." are skipped.
void ListLanguages(const QString &folder, QStringList &list);

// ---- The message table ---------------------------------------------------------------

// The process-wide table: ordered lines "key=text". The main window fills it first thing.
QStringList &MessageTable();
// Appends the 26 built-in (Czech) lines.
void LoadDefaultMessages();
// The text of the first line whose key equals `key` without regard to case;
// "unknown message" when there is none.
QString GetMessageText(const QString &key);
// GetMessageText(key) filled with `args` ("%s" text, "%d" integer, "%%"), left to right.
// Arguments may be QStrings or integers. Throws EPlainError (vlm_Exceptions.h) when the
// text asks for more arguments than given.
QString FormatMessage(const QString &key, const QVariantList &args);
// When the file exists, the table becomes exactly its "Messages" section (even an empty
// one); otherwise nothing changes.
void LoadMessages(const QString &fileName);

// Message keys added for the run panels (their texts are in the built-in table too).
//   RunFailure        "%s" is the reason: a run ended by a failure outside the error catalogue
//   RunStateFinished  status bar: the run finished
//   RunStateStopped   status bar: the run was stopped by the user
//   RunStateError     status bar: the run ended with an error
//   RunStateFailure   status bar: the run ended because of a failure

// ---- Single values -------------------------------------------------------------------

// The key's value in section "Messages", read straight from the file (the table is not
// touched); empty when the file or the key is missing.
QString ReadLngMessage(const QString &key, const QString &fileName);
// The key's value in any section; empty when the file, section or key is missing.
QString ReadLngValue(const QString &fileName, const QString &section, const QString &key);

// ---- The toolkit's own texts ---------------------------------------------------------

// The 55 keys of section "Menu", in their reading order.
const QStringList &ToolkitTextKeys();
// The current text of a toolkit key: its built-in English text until a language file
// replaced it. Unknown keys give an empty text. Windows read, for example,
// "dxSBAR_DIALOGOK" / "dxSBAR_DIALOGCANCEL" for their OK/Cancel buttons and
// "scxGridNoDataInfoText" for an empty grid.
QString ToolkitText(const QString &key);
// Reads section "Menu" when the file exists: each present key replaces its text for the
// rest of the process; a key a later file lacks keeps the earlier text.
void LoadToolkitTexts(const QString &fileName);
// Puts back the built-in English texts (for tests).
void ResetToolkitTexts();

// ---- Translating a window ------------------------------------------------------------

// Applies the window's section (its class name without the leading "T") to the window and
// to every named descendant in creation order: the window's caption from
// "<objectName>.Caption"; each element's Caption, Hint, Title and Filter; Lines and Items
// lists (with ".New" appended when `isNew`); the captions of grid columns named with
// SetColumnNames. An element linked to an action (a tool button
// with a default action, or a button linked with LinkButtonToAction) shows its action's
// texts instead of its own. Windows of our own nested inside (class names starting with
// "Tfrm") are skipped: they are translated on their own.
void TranslateForm(QWidget *form, const QString &fileName, bool isNew);

// The element names TranslateForm visits in `form`, in its order: named descendants (not
// inside nested windows of our own or inside file dialogs) and the grid columns' names.
QStringList FormElementNames(QWidget *form);

// Names the columns of a grid (a table view or table widget), so they translate like the
// elements they are: "<column name>.Caption" becomes the header text of that column (through
// the model's setHeaderData for a plain view). Call it after the model is set.
void SetColumnNames(QAbstractItemView *grid, const QStringList &columnNames);

// Links a push button, check box, ... to an action: the button shows the action's text,
// tool tip and enabled state and triggers it when clicked. TranslateForm then translates
// the action, never the button.
void LinkButtonToAction(QAbstractButton *button, QAction *action);
// The action a button was linked to (or a tool button's default action); null if none.
QAction *LinkedAction(const QObject *element);

// ---- Comma text ----------------------------------------------------------------------

QStringList CommaTextToList(const QString &text);
QString ListToCommaText(const QStringList &list);

// ---- Filters of file dialogs ---------------------------------------------------------

// "Velmora (*.vlm)|*.vlm|Všechny soubory|*.*" -> {"Velmora (*.vlm)", "Všechny soubory (*)"}.
QStringList FilterToNameFilters(const QString &filter);

// ---- Qt's own translations -----------------------------------------------------------

// Reads section "Language", key "Locale" ("cs", "en", ...) of the file and installs Qt's
// translations for it (qtbase_<locale>.qm, and QScintilla's when present), replacing the
// ones installed before, so standard buttons and dialogs speak the same language. A file
// without the key changes nothing; a locale without translations removes the previous
// ones (Qt's English). True when a translation was installed.
bool LoadQtTranslations(const QString &fileName);
