// The editor window, in this order: creation and appearance, the document (load, save,
// close), the text as lines, the caret, the run marks (command lines, stop marks, active
// line) and how they are drawn, completion, and the editor's notifications.
#include "frm_Editor.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QSet>
#include <QShortcut>
#include <QVBoxLayout>

#include <Qsci/qsciapis.h>
#include <Qsci/qsciscintilla.h>

#include "unt_GutterGlyphs.h"
#include "unt_Highlighter.h"
#include "unt_Localization.h"
#include "unt_Prompts.h"
#include "vlm_Encoding.h"

namespace {

// Margins: the glyphs left, the line numbers right of them (as close as Scintilla allows
// to "glyph 4 pixels from the gutter's left edge").
constexpr int GlyphMargin = 0;
constexpr int NumberMargin = 1;
constexpr int GlyphMarginWidth = GutterGlyphWidth + 8;
constexpr int GlyphMarkerMask = (1 << (ggInvalidStop + 1)) - 1;  // the grey disc is never shown

// Markers 0 to 4 are the glyphs by their index; 5 to 7 the line backgrounds.
constexpr int ActiveBackMarker = 5;
constexpr int StopBackMarker = 6;
constexpr int InvalidStopBackMarker = 7;
// Text colours of the marked lines are indicators drawn over the highlighter's colours.
constexpr int ActiveTextIndicator = QsciScintillaBase::INDIC_CONTAINER;
constexpr int StopTextIndicator = QsciScintillaBase::INDIC_CONTAINER + 1;
constexpr int InvalidStopTextIndicator = QsciScintillaBase::INDIC_CONTAINER + 2;

const QStringList DesignedCompletionWords = {
    QStringLiteral("jestliže"), QStringLiteral("pak"),    QStringLiteral("jinak"),  QStringLiteral("pro"),
    QStringLiteral("od"),       QStringLiteral("do"),     QStringLiteral("opakuj"), QStringLiteral("dokud"),
    QStringLiteral("začátek"),  QStringLiteral("konec"),  QStringLiteral("čti"),    QStringLiteral("napiš"),
    QStringLiteral("nebo"),     QStringLiteral("a"),      QStringLiteral("ne"),     QStringLiteral("pravda"),
    QStringLiteral("nepravda")};

// The editor with a completion context that understands UTF-8: QScintilla builds the word
// before the caret byte by byte as Latin-1, so "čt" would never match "čti".
class TCodeEditor : public QsciScintilla {
public:
    using QsciScintilla::QsciScintilla;

    QStringList apiContext(int pos, int &context_start, int &last_word_start) override {
        int start = pos;
        while (start > 0) {
            const auto c = static_cast<unsigned char>(SendScintilla(SCI_GETCHARAT, start - 1));
            if (c <= 32 || TSyntaxRules::IsWordEnd(c))
                break;
            --start;
        }
        context_start = start;
        last_word_start = start;
        QByteArray word;
        if (pos > start) {
            word = bytes(start, pos);
            word.chop(1);  // bytes() adds a terminating NUL
        }
        return {QString::fromUtf8(word)};
    }
};

QFont DesignedFont(int pointSize) {
    QFont font(QStringLiteral("Courier New"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

int GlyphOf(TLineKind kind) {
    switch (kind) {
    case lkActive: return ggActive;
    case lkActiveStop: return ggActiveStop;
    case lkCommand: return ggCommand;
    case lkStop: return ggStop;
    case lkInvalidStop: return ggInvalidStop;
    default: return -1;
    }
}

}  // namespace

// ---- Creation and appearance ---------------------------------------------------------

const QStringList &TfrmEditor::StartingLines() {
    static const QStringList lines = {QStringLiteral("{ }"), QStringLiteral("začátek"), QString(),
                                      QStringLiteral("konec")};
    return lines;
}

TfrmEditor::TfrmEditor(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(QStringLiteral("Algoritmus"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    sedEditor = new TCodeEditor(this);
    sedEditor->setObjectName(QStringLiteral("sedEditor"));
    sedEditor->setAccessibleName(QStringLiteral("sedEditor"));
    layout->addWidget(sedEditor);
    setFocusProxy(sedEditor);

    sedEditor->setUtf8(true);
    sedEditor->setEolMode(QsciScintilla::EolUnix);
    sedEditor->setTabWidth(2);
    // The horizontal scroll bar only when a line is wider than the view.
    sedEditor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1UL);
    sedEditor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1UL);

    // The editor's own rules until the main window hands over its shared set.
    FOwnRules = new TSyntaxRules(TSyntaxRules::rkScreen, this);
    FOwnRules->setObjectName(QString());
    FLexer = new THighlightLexer(FOwnRules, this);
    FLexer->SetBaseFont(DesignedFont(10));
    sedEditor->setLexer(FLexer);
    connect(FLexer, &QsciLexer::colorChanged, this, [this] { UpdateCaretColor(); });
    UpdateCaretColor();
    sedEditor->setSelectionForegroundColor(QColor(0, 0, 128));
    sedEditor->setSelectionBackgroundColor(QColor(192, 192, 192));

    // Margins and markers after the lexer, which would otherwise reset them.
    sedEditor->setMarginType(GlyphMargin, QsciScintilla::SymbolMargin);
    sedEditor->setMarginWidth(GlyphMargin, GlyphMarginWidth);
    sedEditor->setMarginMarkerMask(GlyphMargin, GlyphMarkerMask);
    sedEditor->setMarginSensitivity(GlyphMargin, true);
    sedEditor->setMarginType(NumberMargin, QsciScintilla::NumberMargin);
    sedEditor->setMarginMarkerMask(NumberMargin, 0);
    sedEditor->setMarginSensitivity(NumberMargin, true);
    sedEditor->setMarginWidth(2, 0);
    sedEditor->setMarginsFont(DesignedFont(8));
    for (int glyph = 0; glyph <= ggInvalidStop; ++glyph)
        sedEditor->markerDefine(DrawGutterGlyph(glyph), glyph);
    for (int marker : {ActiveBackMarker, StopBackMarker, InvalidStopBackMarker})
        sedEditor->markerDefine(QsciScintilla::Background, marker);
    for (int indicator : {ActiveTextIndicator, StopTextIndicator, InvalidStopTextIndicator})
        sedEditor->indicatorDefine(QsciScintilla::TextColorIndicator, indicator);
    SetLineColors(FLineColors);

    SetCompletionWords(DesignedCompletionWords);
    sedEditor->setAutoCompletionSource(QsciScintilla::AcsAPIs);
    sedEditor->setAutoCompletionThreshold(-1);  // never opens by itself
    sedEditor->setAutoCompletionCaseSensitivity(false);
    sedEditor->setAutoCompletionFillupsEnabled(true);
    sedEditor->setAutoCompletionUseSingle(QsciScintilla::AcusNever);
    auto *completion = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space), sedEditor);
    completion->setObjectName(QStringLiteral("scpCompleterShortcut"));
    completion->setContext(Qt::WidgetShortcut);
    connect(completion, &QShortcut::activated, this, &TfrmEditor::ShowCompletion);

    svdFile = new QFileDialog(this, QStringLiteral("Uložit algoritmus..."));
    svdFile->setObjectName(QStringLiteral("svdFile"));
    svdFile->setAcceptMode(QFileDialog::AcceptSave);
    svdFile->setFileMode(QFileDialog::AnyFile);
    svdFile->setDefaultSuffix(QStringLiteral("vlm"));
    svdFile->setNameFilters(FilterToNameFilters(
        QStringLiteral("Velmora (*.vlm)|*.vlm|Textové soubory (*.txt)|*.txt|Všechny soubory|*.*")));
    svdFile->setOption(QFileDialog::DontConfirmOverwrite);  // the window asks its own question

    SetLines(StartingLines());
    sedEditor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    sedEditor->setModified(false);
    FModified = false;
    UpdateMarginWidths();

    connect(sedEditor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int, int linesAdded, int, int, int, int, int) {
                sedEditorModified(position, type, linesAdded);
            });
    // Whoever marks the editor's text as untouched (a window translation putting in a new
    // starting text does) makes the document unmodified; undoing back to the saved text
    // does not, since every change counts.
    connect(sedEditor, &QsciScintilla::modificationChanged, this, [this](bool modified) {
        if (!modified && !FUndoRedo)
            SetModified(false);
    });
    connect(sedEditor, &QsciScintilla::marginClicked, this, &TfrmEditor::sedEditorGutterClick);
    connect(sedEditor, &QsciScintilla::cursorPositionChanged, this, &TfrmEditor::sedEditorStatusChange);
    WatchSubWindow();
}

TfrmEditor::~TfrmEditor() {
    emit OnDestroyed(this);
    // A completion list still being prepared works on its own thread: stop it while the
    // lexer it belongs to is whole.
    delete scpCompleter;
    scpCompleter = nullptr;
    FLexer->setAPIs(nullptr);
    // The editor goes first, so none of its notifications reaches a half-destroyed window.
    disconnect(sedEditor, nullptr, this, nullptr);
    delete sedEditor;
    sedEditor = nullptr;
}

void TfrmEditor::SetHighlighter(TSyntaxRules *rules) {
    FLexer->SetRules(rules ? rules : FOwnRules);
    UpdateCaretColor();
}

TSyntaxRules *TfrmEditor::Highlighter() const { return FLexer->Rules(); }

void TfrmEditor::SetLineColors(const TLineColors &colors) {
    FLineColors = colors;
    sedEditor->setMarkerBackgroundColor(colors.ActiveLineBackground, ActiveBackMarker);
    sedEditor->setMarkerBackgroundColor(colors.StopLineBackground, StopBackMarker);
    sedEditor->setMarkerBackgroundColor(colors.InvalidStopLineBackground, InvalidStopBackMarker);
    sedEditor->setIndicatorForegroundColor(colors.ActiveLineForeground, ActiveTextIndicator);
    sedEditor->setIndicatorForegroundColor(colors.StopLineForeground, StopTextIndicator);
    sedEditor->setIndicatorForegroundColor(colors.InvalidStopLineForeground, InvalidStopTextIndicator);
}

void TfrmEditor::SetEditorFont(const QString &name, int pointSize) {
    QFont font = FLexer->defaultFont();
    if (!name.isEmpty())
        font.setFamily(name);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    FLexer->SetBaseFont(font);
    QFont margins = DesignedFont(qMax(6, font.pointSize() - 2));
    if (!name.isEmpty())
        margins.setFamily(name);
    sedEditor->setMarginsFont(margins);
    UpdateMarginWidths();
}

void TfrmEditor::SetSelectionColors(const QColor &foreground, const QColor &background) {
    sedEditor->setSelectionForegroundColor(foreground);
    sedEditor->setSelectionBackgroundColor(background);
}

void TfrmEditor::SetShowLineNumbers(bool show) {
    FShowLineNumbers = show;
    UpdateMarginWidths();
}

void TfrmEditor::UpdateMarginWidths() {
    if (!FShowLineNumbers) {
        sedEditor->setMarginWidth(NumberMargin, 0);
        return;
    }
    const int digits = qMax(3, static_cast<int>(QString::number(sedEditor->lines()).size()));
    sedEditor->setMarginWidth(NumberMargin, QString(digits + 1, QLatin1Char('9')));
}

void TfrmEditor::UpdateCaretColor() {
    // The caret takes the plain text's colour, so it shows on any background.
    if (TSyntaxRules *rules = FLexer->Rules())
        sedEditor->setCaretForegroundColor(rules->Rule(hrMain).Foreground);
}

// ---- The document --------------------------------------------------------------------

bool TfrmEditor::LoadFromFile(const QString &fileName) {
    const QFileInfo info(fileName);
    if (!info.isFile())
        return false;
    TAlgorithmFileFormat format;
    const QStringList lines = ReadAlgorithmFile(fileName, format);  // throws EFileError
    SetLines(lines);
    sedEditor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    sedEditor->setCursorPosition(0, 0);
    FileFormat = format;
    FileName = info.absoluteFilePath();
    SetCaption(info.fileName());
    SetModified(false);
    return true;
}

bool TfrmEditor::AskForFileName() {
    svdFile->selectFile(FileName);
    for (;;) {
        const QStringList chosen = Prompter().ChooseFiles(svdFile);
        if (chosen.isEmpty())
            return false;
        const QString name = chosen.first();
        if (QFileInfo::exists(name)) {
            const QMessageBox::StandardButton answer =
                Prompter().Question(this, GetMessageText(QStringLiteral("ReplaceFileCaption")),
                                    GetMessageText(QStringLiteral("ReplaceFileMessage")),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
            if (answer == QMessageBox::No)
                continue;
            if (answer != QMessageBox::Yes)
                return false;
        }
        FileName = name;
        return true;
    }
}

bool TfrmEditor::Save(bool askForName) {
    if ((askForName || FileName.isEmpty()) && !AskForFileName())
        return false;
    try {
        WriteAlgorithmFile(FileName, Lines(), FileFormat);
    } catch (const EFileError &e) {
        Prompter().Error(this, QGuiApplication::applicationDisplayName(), QString::fromUtf8(e.what()));
        return false;
    }
    SetCaption(QFileInfo(FileName).fileName());
    SetModified(false);
    emit OnSaved(this);
    return true;
}

void TfrmEditor::SetCaption(const QString &caption) {
    setWindowTitle(caption);
    emit OnCaptionChange(this);
}

void TfrmEditor::SetModified(bool modified) {
    if (modified == FModified)
        return;
    FModified = modified;
    if (!modified)
        sedEditor->setModified(false);  // the editor's own flag follows, for whoever asks it
    emit OnModifiedChange(this);
}

void TfrmEditor::closeEvent(QCloseEvent *event) {
    bool agree = true;
    if (FModified) {
        const QMessageBox::StandardButton answer = Prompter().Question(
            this, GetMessageText(QStringLiteral("Close")),
            FormatMessage(QStringLiteral("SaveAlgorithmBeforeExit"), {Caption()}),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            agree = Save(false);
        else
            agree = answer == QMessageBox::No;
    }
    CloseConfirmed = agree;
    if (agree)
        event->accept();
    else
        event->ignore();
}

bool TfrmEditor::event(QEvent *event) {
    if (event->type() == QEvent::ParentChange)
        WatchSubWindow();
    else if (event->type() == QEvent::WindowActivate && isWindow())
        Activated();
    return QWidget::event(event);
}

void TfrmEditor::WatchSubWindow() {
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (sub == FWatchedSubWindow)
        return;
    if (FWatchedSubWindow)
        disconnect(FWatchedSubWindow, nullptr, this, nullptr);
    FWatchedSubWindow = sub;
    if (sub)
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
                    if (!(oldState & Qt::WindowActive) && (newState & Qt::WindowActive))
                        Activated();
                });
}

void TfrmEditor::Activated() { emit OnActivated(this); }

// ---- The text as lines ---------------------------------------------------------------

QStringList TfrmEditor::Lines() const { return SplitAlgorithmLines(sedEditor->text()); }

void TfrmEditor::SetLines(const QStringList &lines) { sedEditor->setText(lines.join(QLatin1Char('\n'))); }

TArrayOfString TfrmEditor::CoreLines(std::vector<char32_t> *placeholders) const {
    const std::string text = DocumentToCore(sedEditor->text().toStdString(), placeholders);
    TArrayOfString lines;
    size_t start = 0;
    for (;;) {
        const size_t brk = text.find("\r\n", start);
        if (brk == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, brk - start));
        start = brk + 2;
    }
}

void TfrmEditor::SetCoreText(const std::string &cp1250, const std::vector<char32_t> &placeholders) {
    QStringList lines;
    for (const std::string &line : CoreToLines(cp1250, placeholders))
        lines << QString::fromStdString(line);
    SetLines(lines);
}

// ---- The caret -----------------------------------------------------------------------

int TfrmEditor::CaretLine() const {
    int line = 0, index = 0;
    sedEditor->getCursorPosition(&line, &index);
    return line + 1;
}

int TfrmEditor::CaretColumn() const {
    int line = 0, index = 0;
    sedEditor->getCursorPosition(&line, &index);
    return index + 1;
}

void TfrmEditor::SetCaret(int line, int column) {
    // (line, index) counts characters, which are the core's Windows-1250 bytes.
    const int l = qBound(0, line - 1, qMax(0, sedEditor->lines() - 1));
    const int length = static_cast<int>(sedEditor->text(l).remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).size());
    sedEditor->setCursorPosition(l, qBound(0, column - 1, length));
}

void TfrmEditor::GotoLine(int line) {
    const int l = qBound(0, line - 1, qMax(0, sedEditor->lines() - 1));
    sedEditor->setCursorPosition(l, 0);
    const int onScreen = static_cast<int>(sedEditor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    sedEditor->setFirstVisibleLine(qMax(0, l - onScreen / 2));
}

// ---- Run marks -----------------------------------------------------------------------

void TfrmEditor::SetCommandLines(const QStringList &lines) {
    FCommandLines = lines;
    RedrawLineMarks();
}

bool TfrmEditor::HasStopMark(int line) const { return FStopMarks.contains(QString::number(line)); }

void TfrmEditor::ToggleStopMark(int line) {
    const QString text = QString::number(line);
    if (!FStopMarks.removeAll(text))
        FStopMarks.append(text);
    RedrawLineMarks();
}

void TfrmEditor::SetActiveLine(int line) {
    if (line == FActiveLine)
        return;
    FActiveLine = line;
    RedrawLineMarks();
}

TLineKind TfrmEditor::LineKind(int line) const {
    const bool stop = HasStopMark(line);
    if (line == FActiveLine)
        return stop ? lkActiveStop : lkActive;
    const bool command = FCommandLines.contains(QString::number(line));
    if (stop)
        return command ? lkStop : lkInvalidStop;
    return command ? lkCommand : lkNone;
}

void TfrmEditor::ShiftStopMarks(int firstLine, int delta) {
    QStringList shifted;
    for (const QString &mark : std::as_const(FStopMarks)) {
        int n = mark.toInt();
        if (n >= firstLine)
            n += delta;
        // Deleting lines can bring two marks onto one line; one of them is enough, or
        // removing the mark would take two clicks.
        const QString text = QString::number(n);
        if (!shifted.contains(text))
            shifted.append(text);
    }
    FStopMarks = shifted;
}

void TfrmEditor::RedrawLineMarks() {
    sedEditor->markerDeleteAll(-1);
    const long length = static_cast<long>(sedEditor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    for (int indicator : {ActiveTextIndicator, StopTextIndicator, InvalidStopTextIndicator}) {
        sedEditor->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
        sedEditor->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, length);
    }
    QSet<int> candidates;
    for (const QString &line : std::as_const(FCommandLines))
        candidates.insert(line.toInt());
    for (const QString &line : std::as_const(FStopMarks))
        candidates.insert(line.toInt());
    candidates.insert(FActiveLine);
    const int lineCount = sedEditor->lines();
    for (int line : std::as_const(candidates)) {
        if (line < 1 || line > lineCount)
            continue;
        const TLineKind kind = LineKind(line);
        if (kind == lkNone)
            continue;
        sedEditor->markerAdd(line - 1, GlyphOf(kind));
        int marker = -1, indicator = -1;
        if (kind == lkActive || kind == lkActiveStop) {
            marker = ActiveBackMarker;
            indicator = ActiveTextIndicator;
        } else if (kind == lkStop) {
            marker = StopBackMarker;
            indicator = StopTextIndicator;
        } else if (kind == lkInvalidStop) {
            marker = InvalidStopBackMarker;
            indicator = InvalidStopTextIndicator;
        }
        if (marker < 0)
            continue;
        sedEditor->markerAdd(line - 1, marker);
        const long start = static_cast<long>(sedEditor->positionFromLineIndex(line - 1, 0));
        const long end = static_cast<long>(sedEditor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                                     static_cast<unsigned long>(line - 1)));
        sedEditor->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
        sedEditor->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start),
                                 end - start);
    }
}

// ---- Completion ----------------------------------------------------------------------

void TfrmEditor::SetCompletionWords(const QStringList &words) {
    // A fresh list object each time: QsciAPIs can take the "finished" event of a cancelled
    // preparation for the one that replaced it and lose the list. Deleting the old object
    // stops its preparation and drops its pending events.
    delete scpCompleter;
    FLexer->setAPIs(nullptr);  // the lexer keeps a plain pointer to its list
    scpCompleter = new QsciAPIs(FLexer);
    scpCompleter->setObjectName(QStringLiteral("scpCompleter"));
    for (const QString &word : words)
        scpCompleter->add(word);
    scpCompleter->prepare();  // on a thread of its own; ready at apiPreparationFinished
}

void TfrmEditor::SetCompletionWords(const TArrayOfString &cp1250Words) {
    QStringList words;
    for (const std::string &word : cp1250Words)
        words << QString::fromStdString(Cp1250ToUtf8(word));
    SetCompletionWords(words);
}

void TfrmEditor::ShowCompletion() { sedEditor->autoCompleteFromAPIs(); }

// ---- The editor's notifications ------------------------------------------------------

void TfrmEditor::sedEditorModified(int position, int modificationType, int linesAdded) {
    if (!(modificationType & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)))
        return;
    FUndoRedo = modificationType & (QsciScintillaBase::SC_PERFORMED_UNDO | QsciScintillaBase::SC_PERFORMED_REDO);
    if (linesAdded != 0) {
        // Lines inserted or deleted at the very start of a line come before it, so a mark
        // on that line moves with its text; elsewhere they follow the line.
        const int line =
            static_cast<int>(sedEditor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position));
        const bool atLineStart = position == sedEditor->positionFromLineIndex(line, 0);
        ShiftStopMarks(line + (atLineStart ? 1 : 2), linesAdded);
        UpdateMarginWidths();
    }
    sedEditorChange();
}

void TfrmEditor::sedEditorChange() {
    SetModified(true);
    FCommandLines.clear();  // the last check no longer describes the text
    RedrawLineMarks();
}

void TfrmEditor::sedEditorGutterClick(int, int line, Qt::KeyboardModifiers) { ToggleStopMark(line + 1); }

void TfrmEditor::sedEditorStatusChange(int line, int index) {
    TStatusChanges changes;
    if (line != FCaretLine)
        changes |= scCaretY;
    if (index != FCaretIndex)
        changes |= scCaretX;
    FCaretLine = line;
    FCaretIndex = index;
    if (changes)
        emit OnCaretMove(this, changes);
}
