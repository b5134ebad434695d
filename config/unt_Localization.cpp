// Language files and the message table. Ordered as the header: places, the message table,
// single values, toolkit texts, translating windows, comma text, file filters, and Qt's
// own translations.
#include "unt_Localization.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QTranslator>
#include <Qsci/qsciscintilla.h>

#include <memory>

#include "vlm_Format.h"
#include "vlm_Ini.h"
#include "vlm_Utils.h"

namespace {

std::string LocalPath(const QString &fileName) { return QFile::encodeName(fileName).toStdString(); }

QString ReadValue(const TIniFile &ini, const QString &section, const QString &key) {
    std::string value;
    ReadLngString(ini, section.toStdString(), key.toStdString(), value);
    return QString::fromUtf8(value);
}

}  // namespace

// ---- Where the language files are ----------------------------------------------------

QString LanguagesFolder(const QString &programDir) {
    const QString dir = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    const QString beside = QDir(dir).filePath("Languages");
    if (QFileInfo(beside).isDir())
        return beside + '/';
    const QString installed = QDir::cleanPath(QDir(dir).filePath("../share/velmora/Languages"));
    if (QFileInfo(installed).isDir())
        return installed + '/';
    return beside + '/';
}

QString LanguageFileName(const QString &language, const QString &programDir) {
    return LanguagesFolder(programDir) + language + ".lng";
}

void ListLanguages(const QString &folder, QStringList &list) {
    list.clear();
    // Sorted by name, as the file system of the original platform lists them; a readdir
    // order would shuffle the language list from machine to machine.
    const QFileInfoList entries =
        QDir(folder).entryInfoList({"*.lng"}, QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive,
                                   QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.endsWith('.'))
            continue;
        list.append(name.left(name.size() - 4));
    }
}

// ---- The message table ---------------------------------------------------------------

namespace {

struct TBuiltInMessage {
    const char *Key;
    const char *Text;
};

// The built-in texts stay exactly as they were first written (typing errors included):
// language files are what corrects them.
const TBuiltInMessage BuiltInMessages[] = {
    {"Error", "[Chyba %d] (řádek %d): %s"},
    {"ReadCaption", "Zadejte hodnotu proměnné"},
    {"AlgorithmCaption", "Algoritmus %d"},
    {"CzechToPasCaption", "Převést Češtinu na Kód"},
    {"CzechToPasHint", "Převést český pseudokód na anglický kód"},
    {"PasToCzechCaption", "Převést Kód na Češtinu"},
    {"PasToCzechHint", "Převést anglický kód na český pseudokód"},
    {"AutoFormatCaption", "Naformátovat kód"},
    {"AutoFormatMessage",
     "Automaticé formátování změní současné rozložení kódu. Pouze validní kód bude naformátován správně."},
    {"NewVersionCaption", "Nová verze"},
    {"NewVersionMessage", "Nová verze (%s) programu Velmora je již k dipsozici. Přejete si ji stáhnout?"},
    {"KeyWordMustBeUnique", "Každé klíčové slovo musí být unikátní (rozdílné od všech ostatních)"},
    {"KeyWordNotNull", "Klíčové slovo nesmí být prázdné"},
    {"KeyWordFirstNotNumber", "Klíčové slovo nesmí začínat číslem"},
    {"KeyWordNotBadChars", "Klíčové slovo nesmí obsahovat nepovolené znaky"},
    {"KeyWordMustBeWord", "Klíčové slovo musí být platným slovem"},
    {"LanguageChangedAndKeyWords",
     "Jazyk byl změněn, ale klíčová slova pro tento jazyk nebyla načtena. Přejete si je nyní načíst?"},
    {"ReplaceFileCaption", "Přepsat soubor?"},
    {"ReplaceFileMessage", "Soubor již existuje, přejete si jej přepsat?"},
    {"DefaultSetupQuestion",
     "Skutečně si přejete obnovit výchozí nastavení programu Velmora? Veškerá veše nastavení prostředí tak "
     "budou ztracena."},
    {"DefaultSetup", "Výchozí nastavení programu bylo obnoveno a projeví se při jeho dalším spuštění"},
    {"Close", "Zavřít"},
    {"SaveAlgorithmBeforeExit", "Přejete si algoritmus \"%s\" před jeho uzavřením nejprve uložit?"},
    {"Changed", "Změněno"},
    {"AssociateExtCaption", "Asociace koncovky"},
    {"AssociateExtMessage",
     "Přejete si asociovat soubory s koncovkou \".vlm\" s tímto programem \"%s\"? Toto nastavení můžete "
     "později změnit."},
    // Texts of the run's end, after the 26 lines above so their order stays as it was.
    {"RunFailure", "Běh algoritmu byl ukončen kvůli chybě: %s"},
    {"RunStateFinished", "Dokončeno"},
    {"RunStateStopped", "Zastaveno"},
    {"RunStateError", "Ukončeno chybou"},
    {"RunStateFailure", "Ukončeno kvůli selhání"},
};

}  // namespace

QStringList &MessageTable() {
    static QStringList table;
    return table;
}

void LoadDefaultMessages() {
    QStringList &table = MessageTable();
    for (const TBuiltInMessage &message : BuiltInMessages)
        table.append(QString::fromUtf8(message.Key) + '=' + QString::fromUtf8(message.Text));
}

QString GetMessageText(const QString &key) {
    for (const QString &line : MessageTable()) {
        const qsizetype equals = line.indexOf('=');
        const QStringView lineKey = equals < 0 ? QStringView(line) : QStringView(line).left(equals);
        if (lineKey.compare(key, Qt::CaseInsensitive) == 0)
            return equals < 0 ? QString() : line.mid(equals + 1);
    }
    return QStringLiteral("unknown message");
}

QString FormatMessage(const QString &key, const QVariantList &args) {
    std::vector<TFormatArg> coreArgs;
    for (const QVariant &arg : args) {
        switch (arg.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            coreArgs.emplace_back(static_cast<int64_t>(arg.toLongLong()));
            break;
        default:
            coreArgs.emplace_back(arg.toString().toStdString());
        }
    }
    return QString::fromUtf8(FormatMessageText(GetMessageText(key).toStdString(), coreArgs));
}

void LoadMessages(const QString &fileName) {
    const TIniFile ini(LocalPath(fileName));
    if (!ini.Exists())
        return;
    QStringList &table = MessageTable();
    table.clear();
    for (const std::string &key : ini.ReadSection("Messages")) {
        std::string value;
        // An empty value counts as missing, so the lookup says "unknown message".
        if (ReadLngString(ini, "Messages", key, value))
            table.append(QString::fromUtf8(key) + '=' + QString::fromUtf8(value));
    }
}

// ---- Single values -------------------------------------------------------------------

QString ReadLngMessage(const QString &key, const QString &fileName) {
    return ReadLngValue(fileName, QStringLiteral("Messages"), key);
}

QString ReadLngValue(const QString &fileName, const QString &section, const QString &key) {
    const TIniFile ini(LocalPath(fileName));
    return ReadValue(ini, section, key);
}

// ---- The toolkit's own texts ---------------------------------------------------------

namespace {

// The toolkit texts by key with their built-in English texts. Only a few have a role in
// this workbench (the OK/Cancel buttons and the empty grid); the others are kept so a
// language file's "Menu" section reads the same everywhere.
const TBuiltInMessage BuiltInToolkitTexts[] = {
    {"scxGridNoDataInfoText", "<No data to display>"},
    {"dxSBAR_DIALOGOK", "OK"},
    {"dxSBAR_DIALOGCANCEL", "Cancel"},
    {"dxSBAR_PLACEFORCONTROL", "The place for the "},
    {"dxSBAR_WANTTORESETTOOLBAR", "Are you sure you want to reset the changes made to the '%s' toolbar?"},
    {"dxSBAR_WANTTORESETUSAGEDATA",
     "This will delete the record of the commands you've used in this application and restore the default "
     "set of visible commands to the menus and toolbars. It will not undo any explicit customizations. Are "
     "you sure you want to proceed?"},
    {"dxSBAR_WANTTODELETETOOLBAR", "Are you sure you want to delete the '%s' toolbar?"},
    {"dxSBAR_TOOLBAREXISTS", "A toolbar named '%s' already exists. Type another name."},
    {"dxSBAR_CP_RESET", "&Reset"},
    {"dxSBAR_CP_DELETE", "&Delete"},
    {"dxSBAR_CP_NAME", "&Name:"},
    {"dxSBAR_CP_CAPTION", "&Caption:"},
    {"dxSBAR_CP_DEFAULTSTYLE", "Defa&ult style"},
    {"dxSBAR_CP_TEXTONLYALWAYS", "&Text Only (Always)"},
    {"dxSBAR_CP_TEXTONLYINMENUS", "Text &Only (in Menus)"},
    {"dxSBAR_CP_IMAGEANDTEXT", "Image &and Text"},
    {"dxSBAR_CP_BEGINAGROUP", "Begin a &Group"},
    {"dxSBAR_CP_VISIBLE", "&Visible"},
    {"dxSBAR_CP_MOSTRECENTLYUSED", "&Most recently used"},
    {"dxSBAR_TABSHEET1", " Toolbars "},
    {"dxSBAR_TABSHEET2", " Commands "},
    {"dxSBAR_TABSHEET3", " Options "},
    {"dxSBAR_TOOLBARS", "Toolb&ars:"},
    {"dxSBAR_TNEW", "&New..."},
    {"dxSBAR_TRENAME", "R&ename..."},
    {"dxSBAR_TDELETE", "&Delete"},
    {"dxSBAR_TRESET", "&Reset..."},
    {"dxSBAR_CLOSE", "Close"},
    {"dxSBAR_CAPTION", "Customize"},
    {"dxSBAR_CATEGORIES", "Cate&gories:"},
    {"dxSBAR_COMMANDS", "Comman&ds:"},
    {"dxSBAR_DESCRIPTION", "Description  "},
    {"dxSBAR_CUSTOMIZE", "&Customize..."},
    {"dxSBAR_ADDREMOVEBUTTONS", "&Add or Remove Buttons"},
    {"dxSBAR_MOREBUTTONS", "More Buttons"},
    {"dxSBAR_RESETTOOLBAR", "&Reset Toolbar"},
    {"dxSBAR_TOOLBARNEWNAME", "Custom "},
    {"dxSBAR_TOOLBARADD", "Add Toolbar"},
    {"dxSBAR_TOOLBARRENAME", "Rename Toolbar"},
    {"dxSBAR_TOOLBARNAME", "&Toolbar Name:"},
    {"dxSBAR_MODIFY", "... modify"},
    {"dxSBAR_PERSMENUSANDTOOLBARS", "Personalized Menus and Toolbars  "},
    {"dxSBAR_MENUSSHOWRECENTITEMS", "Me&nus show recently used commands first"},
    {"dxSBAR_SHOWFULLMENUSAFTERDELAY", "Show f&ull menus after a short delay"},
    {"dxSBAR_RESETUSAGEDATA", "&Reset my usage data"},
    {"dxSBAR_OTHEROPTIONS", "Other  "},
    {"dxSBAR_LARGEICONS", "&Large icons"},
    {"dxSBAR_HINTOPT1", "Show Tool&Tips on toolbars"},
    {"dxSBAR_HINTOPT2", "Show s&hortcut keys in ToolTips"},
    {"dxSBAR_MENUANIMATIONS", "&Menu animations:"},
    {"dxSBAR_MENUANIM1", "(None)"},
    {"dxSBAR_MENUANIM2", "Random"},
    {"dxSBAR_MENUANIM3", "Unfold"},
    {"dxSBAR_MENUANIM4", "Slide"},
    {"dxSBAR_MENUANIM5", "Fade"},
};

QHash<QString, QString> &ToolkitTexts() {
    static QHash<QString, QString> texts = [] {
        QHash<QString, QString> initial;
        for (const TBuiltInMessage &text : BuiltInToolkitTexts)
            initial.insert(QString::fromUtf8(text.Key), QString::fromUtf8(text.Text));
        return initial;
    }();
    return texts;
}

}  // namespace

const QStringList &ToolkitTextKeys() {
    static const QStringList keys = [] {
        QStringList list;
        for (const TBuiltInMessage &text : BuiltInToolkitTexts)
            list.append(QString::fromUtf8(text.Key));
        return list;
    }();
    return keys;
}

QString ToolkitText(const QString &key) { return ToolkitTexts().value(key); }

void LoadToolkitTexts(const QString &fileName) {
    const TIniFile ini(LocalPath(fileName));
    if (!ini.Exists())
        return;
    for (const QString &key : ToolkitTextKeys()) {
        const QString value = ReadValue(ini, QStringLiteral("Menu"), key);
        if (!value.isEmpty())
            ToolkitTexts()[key] = value;
    }
}

void ResetToolkitTexts() {
    for (const TBuiltInMessage &text : BuiltInToolkitTexts)
        ToolkitTexts()[QString::fromUtf8(text.Key)] = QString::fromUtf8(text.Text);
}

// ---- Translating a window ------------------------------------------------------------

namespace {

const char *const LinkedActionProperty = "vlmLinkedAction";
const char *const ColumnNamesProperty = "vlmColumnNames";

// Hints may carry a short and a long part, "short|long": the tool tip shows the short
// part, the status bar the long one; a hint without "|" is both.
void SetHint(QObject *element, const QString &hint) {
    const qsizetype bar = hint.indexOf('|');
    const QString shortHint = bar < 0 ? hint : hint.left(bar);
    const QString longHint = bar < 0 ? hint : hint.mid(bar + 1);
    if (auto *action = qobject_cast<QAction *>(element)) {
        action->setToolTip(shortHint);
        action->setStatusTip(longHint);
    } else if (auto *widget = qobject_cast<QWidget *>(element)) {
        widget->setToolTip(shortHint);
        widget->setStatusTip(longHint);
    }
}

// The page of a tab widget or tool box, found through the stacked widget that holds it.
bool SetPageCaption(QWidget *page, const QString &caption) {
    QWidget *stack = page->parentWidget();
    if (!qobject_cast<QStackedWidget *>(stack))
        return false;
    if (auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget())) {
        const int index = tabs->indexOf(page);
        if (index >= 0) {
            tabs->setTabText(index, caption);
            return true;
        }
    }
    return false;
}

bool SetCaption(QObject *element, const QString &caption) {
    if (auto *action = qobject_cast<QAction *>(element)) {
        action->setText(caption);
    } else if (auto *menu = qobject_cast<QMenu *>(element)) {
        menu->setTitle(caption);
    } else if (auto *button = qobject_cast<QAbstractButton *>(element)) {
        button->setText(caption);
    } else if (auto *label = qobject_cast<QLabel *>(element)) {
        label->setText(caption);
    } else if (auto *group = qobject_cast<QGroupBox *>(element)) {
        group->setTitle(caption);
    } else if (auto *widget = qobject_cast<QWidget *>(element)) {
        if (SetPageCaption(widget, caption))
            return true;
        if (auto *box = qobject_cast<QToolBox *>(widget->parentWidget() ? widget->parentWidget()->parentWidget()
                                                                            : nullptr)) {
            const int index = box->indexOf(widget);
            if (index >= 0) {
                box->setItemText(index, caption);
                return true;
            }
        }
        // A dialog's window title is its Title, not a caption.
        if (qobject_cast<QDockWidget *>(widget) || qobject_cast<QToolBar *>(widget) ||
            (widget->isWindow() && !qobject_cast<QDialog *>(widget)))
            widget->setWindowTitle(caption);
        else
            return false;
    } else {
        return false;
    }
    return true;
}

void SetLines(QObject *element, const QStringList &lines) {
    if (auto *editor = qobject_cast<QsciScintilla *>(element)) {
        QString eol = QStringLiteral("\r\n");
        if (editor->eolMode() == QsciScintilla::EolUnix)
            eol = QStringLiteral("\n");
        else if (editor->eolMode() == QsciScintilla::EolMac)
            eol = QStringLiteral("\r");
        // Replacing the text of an untouched editor leaves it untouched: its new text is
        // where it starts, so there is nothing to undo.
        const bool wasModified = editor->isModified();
        editor->setText(lines.join(eol));
        if (!wasModified) {
            editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
            editor->setModified(false);
        }
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(element)) {
        plain->setPlainText(lines.join('\n'));
    } else if (auto *rich = qobject_cast<QTextEdit *>(element)) {
        rich->setPlainText(lines.join('\n'));
    }
}

void SetItems(QObject *element, const QStringList &items) {
    if (auto *combo = qobject_cast<QComboBox *>(element)) {
        // The chosen entry stays chosen; the list only changes its words.
        const int index = combo->currentIndex();
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(index < items.size() ? index : -1);
    } else if (auto *list = qobject_cast<QListWidget *>(element)) {
        const int row = list->currentRow();
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(items);
        list->setCurrentRow(row < items.size() ? row : -1);
    }
}

// Visits the named elements of a window in creation order. Our own windows inside it (the
// editor windows in the main window's document area) have sections of their own, and a
// file dialog's inner widgets are Qt's, so neither is entered.
template <class F> void ForEachElement(QObject *parent, const F &visit) {
    for (QObject *child : parent->children()) {
        if (child->isWidgetType() && QByteArray(child->metaObject()->className()).startsWith("Tfrm"))
            continue;
        if (!child->objectName().isEmpty())
            visit(child);
        if (!qobject_cast<QFileDialog *>(child))
            ForEachElement(child, visit);
    }
}

class TFormTranslator {
public:
    TFormTranslator(const TIniFile &ini, QString section, bool isNew)
        : FIni(ini), FSection(std::move(section)), FSuffix(isNew ? QStringLiteral(".New") : QString()) {}

    void TranslateChildren(QObject *parent) {
        ForEachElement(parent, [this](QObject *element) { TranslateElement(element); });
    }

private:
    QString Value(const QString &key) const { return ReadValue(FIni, FSection, key); }

    void TranslateElement(QObject *element) {
        const QString name = element->objectName();
        if (!LinkedAction(element)) {
            QString value = Value(name + ".Caption");
            if (!value.isEmpty())
                SetCaption(element, value);
            value = Value(name + ".Hint");
            if (!value.isEmpty())
                SetHint(element, value);
            if (auto *dialog = qobject_cast<QDialog *>(element)) {
                value = Value(name + ".Title");
                if (!value.isEmpty())
                    dialog->setWindowTitle(value);
            }
            if (auto *fileDialog = qobject_cast<QFileDialog *>(element)) {
                value = Value(name + ".Filter");
                if (!value.isEmpty())
                    fileDialog->setNameFilters(FilterToNameFilters(value));
            }
        }
        // Lists are translated whether or not the element is linked to an action, and
        // each of the two list kinds is looked up on its own.
        if (qobject_cast<QsciScintilla *>(element) || qobject_cast<QPlainTextEdit *>(element) ||
            qobject_cast<QTextEdit *>(element)) {
            const QString value = Value(name + ".Lines" + FSuffix);
            if (!value.isEmpty())
                SetLines(element, CommaTextToList(value));
        }
        if (qobject_cast<QComboBox *>(element) || qobject_cast<QListWidget *>(element)) {
            const QString value = Value(name + ".Items" + FSuffix);
            if (!value.isEmpty())
                SetItems(element, CommaTextToList(value));
        }
        if (auto *grid = qobject_cast<QAbstractItemView *>(element))
            TranslateColumns(grid);
    }

    // Grid columns are elements of the window in their own right, under their own names.
    void TranslateColumns(QAbstractItemView *grid) {
        const QStringList columns = grid->property(ColumnNamesProperty).toStringList();
        for (int column = 0; column < columns.size(); ++column) {
            if (columns[column].isEmpty())
                continue;
            const QString value = Value(columns[column] + ".Caption");
            if (value.isEmpty())
                continue;
            if (auto *table = qobject_cast<QTableWidget *>(grid)) {
                if (column >= table->columnCount())
                    continue;
                if (QTableWidgetItem *item = table->horizontalHeaderItem(column))
                    item->setText(value);
                else
                    table->setHorizontalHeaderItem(column, new QTableWidgetItem(value));
            } else if (grid->model()) {
                grid->model()->setHeaderData(column, Qt::Horizontal, value);
            }
        }
    }

    const TIniFile &FIni;
    const QString FSection;
    const QString FSuffix;
};

}  // namespace

void TranslateForm(QWidget *form, const QString &fileName, bool isNew) {
    if (!form)
        return;
    const TIniFile ini(LocalPath(fileName));
    if (!ini.Exists())
        return;
    const QString section = QString::fromLatin1(form->metaObject()->className()).mid(1);
    const QString caption = ReadValue(ini, section, form->objectName() + ".Caption");
    if (!caption.isEmpty())
        form->setWindowTitle(caption);
    TFormTranslator(ini, section, isNew).TranslateChildren(form);
}

QStringList FormElementNames(QWidget *form) {
    QStringList names;
    if (!form)
        return names;
    ForEachElement(form, [&names](QObject *element) {
        names.append(element->objectName());
        for (const QString &column : element->property(ColumnNamesProperty).toStringList())
            if (!column.isEmpty())
                names.append(column);
    });
    return names;
}

void SetColumnNames(QAbstractItemView *grid, const QStringList &columnNames) {
    if (grid)
        grid->setProperty(ColumnNamesProperty, columnNames);
}

void LinkButtonToAction(QAbstractButton *button, QAction *action) {
    if (!button || !action)
        return;
    button->setProperty(LinkedActionProperty, QVariant::fromValue(static_cast<QObject *>(action)));
    auto update = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setStatusTip(action->statusTip());
        button->setEnabled(action->isEnabled());
        button->setCheckable(action->isCheckable());
        if (action->isCheckable())
            button->setChecked(action->isChecked());
        if (!action->icon().isNull())
            button->setIcon(action->icon());
    };
    update();
    QObject::connect(action, &QAction::changed, button, update);
    QObject::connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
}

QAction *LinkedAction(const QObject *element) {
    if (!element)
        return nullptr;
    if (auto *toolButton = qobject_cast<const QToolButton *>(element))
        if (toolButton->defaultAction())
            return toolButton->defaultAction();
    return qobject_cast<QAction *>(element->property(LinkedActionProperty).value<QObject *>());
}

// ---- Comma text ----------------------------------------------------------------------

namespace {

bool IsBlankOrControl(QChar c) { return c.unicode() <= ' '; }

}  // namespace

QStringList CommaTextToList(const QString &text) {
    QStringList list;
    const qsizetype length = text.size();
    qsizetype p = 0;
    while (p < length && IsBlankOrControl(text[p]))
        ++p;
    while (p < length) {
        QString item;
        if (text[p] == '"') {
            // A quoted item runs to its closing quote; a doubled quote inside is one quote.
            ++p;
            while (p < length) {
                if (text[p] == '"') {
                    if (p + 1 < length && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < length && !IsBlankOrControl(text[p]) && text[p] != ',')
                ++p;
            item = text.mid(start, p - start);
        }
        list.append(item);
        while (p < length && IsBlankOrControl(text[p]))
            ++p;
        if (p < length && text[p] == ',') {
            if (p + 1 == length)
                list.append(QString());
            ++p;
            while (p < length && IsBlankOrControl(text[p]))
                ++p;
        }
    }
    return list;
}

QString ListToCommaText(const QStringList &list) {
    if (list.size() == 1 && list[0].isEmpty())
        return QStringLiteral("\"\"");
    QStringList items;
    for (const QString &item : list) {
        bool quote = item.isEmpty();
        for (const QChar c : item)
            if (IsBlankOrControl(c) || c == ',' || c == '"')
                quote = true;
        if (quote) {
            QString quoted = item;
            quoted.replace('"', QStringLiteral("\"\""));
            items.append('"' + quoted + '"');
        } else {
            items.append(item);
        }
    }
    return items.join(',');
}

// ---- Filters of file dialogs ---------------------------------------------------------

QStringList FilterToNameFilters(const QString &filter) {
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split('|');
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns;
        if (i + 1 < parts.size())
            for (const QString &pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
                const QString trimmed = pattern.trimmed();
                patterns.append(trimmed == "*.*" ? QStringLiteral("*") : trimmed);
            }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        // Qt reads the patterns from the parentheses, so the description's own (possibly
        // different) pattern text gives way to the real patterns.
        description.remove(trailingPatterns);
        result.append(description + " (" + patterns.join(' ') + ')');
    }
    return result;
}

// ---- Qt's own translations -----------------------------------------------------------

namespace {

std::unique_ptr<QTranslator> &InstalledTranslator(int which) {
    static std::unique_ptr<QTranslator> translators[2];
    return translators[which];
}

}  // namespace

bool LoadQtTranslations(const QString &fileName) {
    const QString locale = ReadLngValue(fileName, QStringLiteral("Language"), QStringLiteral("Locale"));
    if (locale.isEmpty())
        return false;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString prefixes[2] = {QStringLiteral("qtbase_"), QStringLiteral("qscintilla_")};
    bool installed = false;
    for (int which = 0; which < 2; ++which) {
        std::unique_ptr<QTranslator> &current = InstalledTranslator(which);
        if (current) {
            QCoreApplication::removeTranslator(current.get());
            current.reset();
        }
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(prefixes[which] + locale, folder)) {
            QCoreApplication::installTranslator(translator.get());
            current = std::move(translator);
            if (which == 0)
                installed = true;
        }
    }
    return installed;
}
