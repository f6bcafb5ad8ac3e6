#include "WindowFixture.h"

#include <QSettings>
#include <filesystem>

namespace fs = std::filesystem;

WindowFixture::WindowFixture(const std::function<void(const std::string&)>& prepareData) {
    fs::copy(VORNHAL_DATA_DIR, DataFolder());
    // The user's settings (recent ROMs, the last folder, the per-user copy of [Main]) stay in this folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(ConfigFolder()));
    if (prepareData) prepareData(DataFolder());
    Dialogs::SetMessageHook([this](const QString& text) { messages << text; });
    Dialogs::SetModalHook([this](QDialog* dialog) { shownModal << dialog; });
    Dialogs::SetQuestionHook([this](const QString& text) {
        questions << text;
        return answers.isEmpty() ? Dialogs::Answer::Discard : answers.takeFirst();
    });
    window_ = std::make_unique<Form1>(QString::fromStdString(DataFolder()));
    window_->show();
}

WindowFixture::~WindowFixture() {
    window_.reset();
    Dialogs::SetMessageHook(nullptr);
    Dialogs::SetModalHook(nullptr);
    Dialogs::SetMenuHook(nullptr);
    Dialogs::SetQuestionHook(nullptr);
    Dialogs::ClearFileAnswers();
}

static QString Shown(QWidget* w, bool choiceTexts) {
    if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
    if (auto* box = qobject_cast<QComboBox*>(w))
        return choiceTexts ? box->currentText() : QString::number(box->currentIndex());
    if (auto* list = qobject_cast<QListWidget*>(w)) return QString::number(list->currentRow());
    return {};
}

std::string WindowFixture::WriteFile(const std::string& name, const std::string& bytes) {
    if (!testsupport::WriteFileBytes(TempFile(name), {bytes.begin(), bytes.end()}))
        qFatal("cannot write %s", name.c_str());
    return TempFile(name);
}

bool WindowFixture::OneMessage(const QString& part) {
    const bool one = messages.size() == 1 && messages[0].contains(part);
    if (!one) qWarning("messages: %s", qPrintable(messages.join(" / ")));
    messages.clear();
    return one;
}

QString WindowFixture::Rows(const QString& name) {
    QStringList texts;
    for (int i = 0; i < List(name)->count(); ++i) texts << List(name)->item(i)->text();
    return texts.join('|');
}

QString WindowFixture::Values(const QString& names, bool choiceTexts) {
    QStringList values;
    for (const QString& name : names.split(' ')) values << Shown(Find<QWidget>(name), choiceTexts);
    return values.join(' ');
}

QStringList WindowFixture::Snapshot() {
    QStringList values = {window_->windowTitle()};
    if (window_->Session()) values << QString::fromStdString(window_->Session()->RomPath);
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        int count = 0;
        if (auto* box = qobject_cast<QComboBox*>(w)) count = box->count();
        if (auto* list = qobject_cast<QListWidget*>(w)) count = list->count();
        values << w->objectName() + (w->isEnabled() ? "=" : " (off)=") + Shown(w, false) + "/" +
                      QString::number(count);
    }
    return values;
}
