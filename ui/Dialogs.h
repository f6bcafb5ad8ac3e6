#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QMenu;
class QPoint;
class QWidget;

// Every file picker, message box and modal window of the program goes through here, so tests can answer them
// without a window blocking the run.
namespace Dialogs {

enum class FileMode { Open, Save };

// The file dialog of the main window: title, a filter of "description|pattern" pairs, an empty file name to
// start with. Returns the chosen full path, or an empty text when the user cancels. It starts in folder when
// one is given, otherwise in the folder of the last chosen file.
QString AskFileName(QWidget* parent, FileMode mode, const QString& title, const QString& filter,
                    const QString& folder = {});

// Qt's form of a "description|pattern|description|pattern" filter.
QString QtFilter(const QString& pairs);

// A critical message box with an OK button and the application's name as title.
void ShowCritical(QWidget* parent, const QString& text);
// An information box with the program's icon (About); tests get its text like a message's.
void ShowAbout(QWidget* parent, const QString& title, const QString& text);

// The answers a question can offer.
enum class Answer { Save, Discard, Cancel, Restore, Keep, Yes, No, Search };

// A question with the given buttons; Escape and the close box give `escape`. Returns the button pressed.
Answer Ask(QWidget* parent, const QString& text, const QList<Answer>& buttons, Answer byDefault,
           Answer escape);

// Runs a dialog modally over its owner.
void RunModal(QDialog* dialog);

// Shows a pop-up menu at a screen position and returns when the user has chosen or dismissed it.
void RunMenu(QMenu* menu, const QPoint& position);

// Test hooks. Queued file answers are used in order (an empty answer is a cancel); while a hook is set,
// messages and modal windows go to it instead of the screen.
void QueueFileAnswer(const QString& path);
void ClearFileAnswers();  // answers no dialog asked for, so that they cannot reach a later test
void SetMessageHook(std::function<void(const QString&)> hook);
void SetModalHook(std::function<void(QDialog*)> hook);
void SetMenuHook(std::function<void(QMenu*)> hook);
// While set, questions go to the hook, which answers them.
void SetQuestionHook(std::function<Answer(const QString&)> hook);
struct FileRequest {
    FileMode mode;
    QString title;
    QString filter;
    QString folder;  // the folder asked for, empty for the last one
};
// The last file dialog that was asked for.
FileRequest LastFileRequest();

}  // namespace Dialogs
