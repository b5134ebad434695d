#include "unt_Search.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <Qsci/qsciscintilla.h>

// ---------------------------------------------------------------------------------------
// Dialogs

TSearchDialog::TSearchDialog(QWidget *parent, const QString &name, const QString &title) : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(false);
    setSizeGripEnabled(false);

    edtFindText = new QLineEdit(this);
    edtFindText->setObjectName(QStringLiteral("edtFindText"));
    edtFindText->setAccessibleName(QStringLiteral("edtFindText"));
    chbWholeWords = new QCheckBox(QStringLiteral("Pouze &celá slova"), this);
    chbWholeWords->setObjectName(QStringLiteral("chbWholeWords"));
    chbMatchCase = new QCheckBox(QStringLiteral("&Rozlišovat velká a malá písmena"), this);
    chbMatchCase->setObjectName(QStringLiteral("chbMatchCase"));
    rbtUp = new QRadioButton(QStringLiteral("Nahor&u"), this);
    rbtUp->setObjectName(QStringLiteral("rbtUp"));
    rbtDown = new QRadioButton(QStringLiteral("&Dolů"), this);
    rbtDown->setObjectName(QStringLiteral("rbtDown"));
    rbtDown->setChecked(true);
    btnFindNext = new QPushButton(QStringLiteral("&Najít další"), this);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    btnFindNext->setEnabled(false);
    btnCancel = new QPushButton(QStringLiteral("Zrušit"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    connect(edtFindText, &QLineEdit::textChanged, this,
            [this](const QString &text) { btnFindNext->setEnabled(!text.isEmpty()); });
    connect(btnFindNext, &QPushButton::clicked, this, &TSearchDialog::FindNext);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::hide);
}

void TSearchDialog::BuildLayout(QWidget *extraRows, const QList<QPushButton *> &extraButtons) {
    auto *fields = new QGridLayout;
    auto *findLabel = new QLabel(QStringLiteral("&Najít:"), this);
    findLabel->setObjectName(QStringLiteral("lblFindText"));
    findLabel->setBuddy(edtFindText);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(edtFindText, 0, 1);
    if (extraRows)
        fields->addWidget(extraRows, 1, 0, 1, 2);

    auto *direction = new QGroupBox(QStringLiteral("Směr"), this);
    direction->setObjectName(QStringLiteral("grbDirection"));
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(rbtUp);
    directionLayout->addWidget(rbtDown);

    auto *options = new QVBoxLayout;
    options->addWidget(chbWholeWords);
    options->addWidget(chbMatchCase);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(lower);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    for (QPushButton *button : extraButtons)
        buttons->addWidget(button);
    buttons->addWidget(btnCancel);
    buttons->addStretch();

    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);
}

void TSearchDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    edtFindText->setFocus();
    edtFindText->selectAll();
}

QString TSearchDialog::FindText() const { return edtFindText->text(); }

void TSearchDialog::SetFindText(const QString &text) { edtFindText->setText(text); }

TSearchOptions TSearchDialog::Options() const {
    return {rbtDown->isChecked(), chbMatchCase->isChecked(), chbWholeWords->isChecked()};
}

void TSearchDialog::SetOptions(const TSearchOptions &options) {
    (options.Forward ? rbtDown : rbtUp)->setChecked(true);
    chbMatchCase->setChecked(options.MatchCase);
    chbWholeWords->setChecked(options.WholeWords);
}

TFindDialog::TFindDialog(QWidget *parent) : TSearchDialog(parent, QStringLiteral("fidFind"), QStringLiteral("Najít")) {
    BuildLayout(nullptr, {});
}

TReplaceDialog::TReplaceDialog(QWidget *parent)
    : TSearchDialog(parent, QStringLiteral("rpdReplace"), QStringLiteral("Nahradit")) {
    auto *row = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Nahradit &čím:"), row);
    label->setObjectName(QStringLiteral("lblReplaceText"));
    edtReplaceText = new QLineEdit(row);
    edtReplaceText->setObjectName(QStringLiteral("edtReplaceText"));
    edtReplaceText->setAccessibleName(QStringLiteral("edtReplaceText"));
    label->setBuddy(edtReplaceText);
    rowLayout->addWidget(label);
    rowLayout->addWidget(edtReplaceText, 1);

    btnReplace = new QPushButton(QStringLiteral("Nah&radit"), this);
    btnReplace->setObjectName(QStringLiteral("btnReplace"));
    btnReplaceAll = new QPushButton(QStringLiteral("Nahradit &vše"), this);
    btnReplaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
    btnReplace->setEnabled(false);
    btnReplaceAll->setEnabled(false);
    connect(edtFindText, &QLineEdit::textChanged, this, [this](const QString &text) {
        btnReplace->setEnabled(!text.isEmpty());
        btnReplaceAll->setEnabled(!text.isEmpty());
    });
    connect(btnReplace, &QPushButton::clicked, this, &TReplaceDialog::Replace);
    connect(btnReplaceAll, &QPushButton::clicked, this, &TReplaceDialog::ReplaceAll);
    BuildLayout(row, {btnReplace, btnReplaceAll});
}

QString TReplaceDialog::ReplaceText() const { return edtReplaceText->text(); }

void TReplaceDialog::SetReplaceText(const QString &text) { edtReplaceText->setText(text); }

// ---------------------------------------------------------------------------------------
// Searching an editor
//
// The search is our own, line by line on the editor's text: the editor component folds
// letter case only for ASCII, and "ZAČÁTEK" must find "začátek". A find text never holds a
// line break, so a match never spans lines. Indexes are the editor's character indexes.

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

QString LineText(QsciScintilla *editor, int line) {
    QString text = editor->text(line);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

bool IsMatchAt(const QString &line, int at, const QString &text, const TSearchOptions &options) {
    if (at < 0 || at + text.size() > line.size())
        return false;
    if (QStringView(line).mid(at, text.size()).compare(text, options.MatchCase ? Qt::CaseSensitive
                                                                               : Qt::CaseInsensitive) != 0)
        return false;
    if (!options.WholeWords)
        return true;
    bool before = at > 0 && IsWordChar(line[at - 1]);
    bool after = at + text.size() < line.size() && IsWordChar(line[at + text.size()]);
    return !before && !after;
}

// The first match at or after `from` (forward) or the last one ending at or before `from`
// (backward) within one line; -1 when there is none.
int FindInLine(const QString &line, int from, const QString &text, const TSearchOptions &options) {
    Qt::CaseSensitivity cs = options.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.Forward) {
        for (int at = line.indexOf(text, from, cs); at >= 0; at = line.indexOf(text, at + 1, cs))
            if (IsMatchAt(line, at, text, options))
                return at;
    } else {
        int start = from - int(text.size());
        if (start < 0)
            return -1;
        for (int at = line.lastIndexOf(text, start, cs); at >= 0; at = at > 0 ? line.lastIndexOf(text, at - 1, cs) : -1)
            if (IsMatchAt(line, at, text, options))
                return at;
    }
    return -1;
}

bool FindFrom(QsciScintilla *editor, int line, int index, const QString &text, const TSearchOptions &options,
              int &foundLine, int &foundIndex) {
    const int lines = editor->lines();
    for (int l = line; l >= 0 && l < lines; l += options.Forward ? 1 : -1) {
        QString lineText = LineText(editor, l);
        int from = l == line ? index : (options.Forward ? 0 : int(lineText.size()));
        int at = FindInLine(lineText, from, text, options);
        if (at >= 0) {
            foundLine = l;
            foundIndex = at;
            return true;
        }
    }
    return false;
}

void SelectionOrCaret(QsciScintilla *editor, int &lineFrom, int &indexFrom, int &lineTo, int &indexTo) {
    if (editor->hasSelectedText()) {
        editor->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    } else {
        editor->getCursorPosition(&lineFrom, &indexFrom);
        lineTo = lineFrom;
        indexTo = indexFrom;
    }
}

bool SelectionMatches(QsciScintilla *editor, const QString &text, const TSearchOptions &options) {
    if (!editor->hasSelectedText())
        return false;
    int lineFrom, indexFrom, lineTo, indexTo;
    editor->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    return lineFrom == lineTo && indexTo - indexFrom == text.size() &&
           IsMatchAt(LineText(editor, lineFrom), indexFrom, text, options);
}

}  // namespace

bool SearchText(QsciScintilla *editor, const QString &text, const TSearchOptions &options) {
    if (!editor || text.isEmpty())
        return false;
    int lineFrom, indexFrom, lineTo, indexTo;
    SelectionOrCaret(editor, lineFrom, indexFrom, lineTo, indexTo);
    // Forward from the end of the selection, backward from its start: a found word is
    // never found again by the next search in either direction.
    int line = options.Forward ? lineTo : lineFrom;
    int index = options.Forward ? indexTo : indexFrom;
    int foundLine, foundIndex;
    if (!FindFrom(editor, line, index, text, options, foundLine, foundIndex))
        return false;
    editor->ensureLineVisible(foundLine);
    editor->setSelection(foundLine, foundIndex, foundLine, foundIndex + int(text.size()));
    return true;
}

bool ReplaceText(QsciScintilla *editor, const QString &text, const QString &replacement,
                 const TSearchOptions &options) {
    if (!editor || text.isEmpty())
        return false;
    bool replaced = false;
    if (!editor->isReadOnly() && SelectionMatches(editor, text, options)) {
        int lineFrom, indexFrom, lineTo, indexTo;
        editor->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
        editor->replaceSelectedText(replacement);
        if (!options.Forward)
            editor->setCursorPosition(lineFrom, indexFrom);
        replaced = true;
    }
    SearchText(editor, text, options);
    return replaced;
}

int ReplaceAllText(QsciScintilla *editor, const QString &text, const QString &replacement,
                   const TSearchOptions &options) {
    if (!editor || text.isEmpty() || editor->isReadOnly())
        return 0;
    TSearchOptions forward = options;
    forward.Forward = true;
    int count = 0;
    int line = 0, index = 0, foundLine, foundIndex;
    editor->beginUndoAction();
    while (FindFrom(editor, line, index, text, forward, foundLine, foundIndex)) {
        editor->setSelection(foundLine, foundIndex, foundLine, foundIndex + int(text.size()));
        editor->replaceSelectedText(replacement);
        ++count;
        line = foundLine;
        index = foundIndex + int(replacement.size());
    }
    editor->endUndoAction();
    return count;
}
