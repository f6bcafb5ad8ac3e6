#include "Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace Dialogs {
namespace {

QQueue<QString>& QueuedFileAnswers() {
    static QQueue<QString> answers;
    return answers;
}

std::function<void(const QString&)>& MessageHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<void(QDialog*)>& ModalHook() {
    static std::function<void(QDialog*)> hook;
    return hook;
}

std::function<void(QMenu*)>& MenuHook() {
    static std::function<void(QMenu*)> hook;
    return hook;
}

std::function<Answer(const QString&)>& QuestionHook() {
    static std::function<Answer(const QString&)> hook;
    return hook;
}

FileRequest& LastRequest() {
    static FileRequest request{FileMode::Open, {}, {}, {}};
    return request;
}

QString& LastFolder() {
    static QString folder;
    return folder;
}

}  // namespace

QString QtFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the parentheses of the description.
        if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString AskFileName(QWidget* parent, FileMode mode, const QString& title, const QString& filter,
                    const QString& folder) {
    LastRequest() = FileRequest{mode, title, filter, folder};
    if (!QueuedFileAnswers().isEmpty()) return QueuedFileAnswers().dequeue();

    const QString start = folder.isEmpty() ? LastFolder() : folder;
    const QString path = mode == FileMode::Open
                             ? QFileDialog::getOpenFileName(parent, title, start, QtFilter(filter))
                             : QFileDialog::getSaveFileName(parent, title, start, QtFilter(filter));
    if (!path.isEmpty()) LastFolder() = QFileInfo(path).absolutePath();
    return path;
}

void ShowCritical(QWidget* parent, const QString& text) {
    if (MessageHook()) {
        MessageHook()(text);
        return;
    }
    QMessageBox::critical(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

Answer Ask(QWidget* parent, const QString& text, const QList<Answer>& buttons, Answer byDefault,
           Answer escape) {
    if (QuestionHook()) return QuestionHook()(text);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, QMessageBox::NoButton,
                    parent);
    QHash<QAbstractButton*, Answer> answers;
    for (const Answer answer : buttons) {
        QAbstractButton* button = nullptr;
        switch (answer) {
            case Answer::Save:
                button = box.addButton(QMessageBox::Save);
                break;
            case Answer::Discard:
                button = box.addButton(QMessageBox::Discard);
                break;
            case Answer::Cancel:
                button = box.addButton(QMessageBox::Cancel);
                break;
            case Answer::Restore:
                button = box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole);
                break;
            case Answer::Keep:
                button = box.addButton(QStringLiteral("Keep"), QMessageBox::DestructiveRole);
                break;
            case Answer::Yes:
                button = box.addButton(QMessageBox::Yes);
                break;
            case Answer::No:
                button = box.addButton(QMessageBox::No);
                break;
            case Answer::Search:
                button = box.addButton(QStringLiteral("Search"), QMessageBox::AcceptRole);
                break;
        }
        answers.insert(button, answer);
        if (answer == byDefault) box.setDefaultButton(qobject_cast<QPushButton*>(button));
        if (answer == escape) box.setEscapeButton(button);
    }
    box.exec();
    return answers.value(box.clickedButton(), escape);
}

void ShowAbout(QWidget* parent, const QString& title, const QString& text) {
    if (MessageHook()) {
        MessageHook()(text);
        return;
    }
    QMessageBox::about(parent, title, text);
}

void RunModal(QDialog* dialog) {
    if (ModalHook()) {
        ModalHook()(dialog);
        return;
    }
    dialog->exec();
}

void RunMenu(QMenu* menu, const QPoint& position) {
    if (MenuHook()) {
        MenuHook()(menu);
        return;
    }
    menu->exec(position);
}

void QueueFileAnswer(const QString& path) {
    QueuedFileAnswers().enqueue(path);
}
void ClearFileAnswers() {
    QueuedFileAnswers().clear();
}
void SetMessageHook(std::function<void(const QString&)> hook) {
    MessageHook() = std::move(hook);
}
void SetModalHook(std::function<void(QDialog*)> hook) {
    ModalHook() = std::move(hook);
}
void SetMenuHook(std::function<void(QMenu*)> hook) {
    MenuHook() = std::move(hook);
}
void SetQuestionHook(std::function<Answer(const QString&)> hook) {
    QuestionHook() = std::move(hook);
}
FileRequest LastFileRequest() {
    return LastRequest();
}

}  // namespace Dialogs
