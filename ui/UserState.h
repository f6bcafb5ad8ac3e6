#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the program remembers for the user from one run to the next (QSettings, organisation and application
// "Vornhal"): the recent ROMs, the folder of the last ROM and the main window's geometry. Tests point it at a
// folder of their own with QSettings::setPath.
namespace UserState {

inline constexpr int kMaxRecentRoms = 8;

// Most recent first, absolute paths, no repeats.
QStringList RecentRoms();
// Puts path first, dropping an earlier mention and whatever falls past the eighth.
void RememberRom(const QString& path);
void ForgetRom(const QString& path);
void ClearRecentRoms();

// The folder "Open ROM..." starts in; empty before the first ROM.
QString LastRomFolder();
void SetLastRomFolder(const QString& folder);

QByteArray WindowGeometry();
void SetWindowGeometry(const QByteArray& geometry);

// The per-user copy of Data.ini's [Main] settings, beside the user's settings file.
QString SettingsCopyPath();

}  // namespace UserState
