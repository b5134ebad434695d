#include "unt_Prompts.h"

#include <QFileDialog>
#include <QInputDialog>

QMessageBox::StandardButton TPrompter::Question(QWidget *parent, const QString &caption, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) {
    return QMessageBox::question(parent, caption, text, buttons, defaultButton);
}

void TPrompter::Information(QWidget *parent, const QString &caption, const QString &text) {
    QMessageBox::information(parent, caption, text);
}

void TPrompter::Error(QWidget *parent, const QString &caption, const QString &text) {
    QMessageBox::critical(parent, caption, text);
}

bool TPrompter::ReadValue(QWidget *parent, const QString &caption, const QString &label, QString &value) {
    bool ok = false;
    QString answer = QInputDialog::getText(parent, caption, label, QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

QStringList TPrompter::ChooseFiles(QFileDialog *dialog) {
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

namespace {
TPrompter DefaultPrompter;
TPrompter *CurrentPrompter = nullptr;
}  // namespace

TPrompter &Prompter() { return CurrentPrompter ? *CurrentPrompter : DefaultPrompter; }

void SetPrompter(TPrompter *prompter) { CurrentPrompter = prompter; }
