#include "UserState.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace UserState {
namespace {

const QString kRecent = QStringLiteral("RecentRoms");
const QString kFolder = QStringLiteral("LastRomFolder");
const QString kGeometry = QStringLiteral("MainWindowGeometry");

// Constructed with explicit names, so the place does not depend on what the application calls itself.
QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vornhal"),
                     QStringLiteral("Vornhal"));
}

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

QStringList RecentRoms() {
    return Store().value(kRecent).toStringList();
}

void RememberRom(const QString& path) {
    QStringList recent = RecentRoms();
    const QString absolute = Absolute(path);
    recent.removeAll(absolute);
    recent.prepend(absolute);
    Store().setValue(kRecent, recent.mid(0, kMaxRecentRoms));
}

void ForgetRom(const QString& path) {
    QStringList recent = RecentRoms();
    recent.removeAll(Absolute(path));
    Store().setValue(kRecent, recent);
}

void ClearRecentRoms() {
    Store().remove(kRecent);
}

QString LastRomFolder() {
    return Store().value(kFolder).toString();
}
void SetLastRomFolder(const QString& folder) {
    Store().setValue(kFolder, folder);
}

QByteArray WindowGeometry() {
    return Store().value(kGeometry).toByteArray();
}
void SetWindowGeometry(const QByteArray& geometry) {
    Store().setValue(kGeometry, geometry);
}

QString SettingsCopyPath() {
    return QFileInfo(Store().fileName()).dir().filePath(QStringLiteral("Data.ini"));
}

}  // namespace UserState
