#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pictures/PictureReplacements.h"
#include "rom/EditorSession.h"
#include "rom/RomNameTables.h"

namespace Ui {
class Form1;
}
class Form2;
class Form3;
class Form4;
class Form5;
class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QMimeData;
class RomWriter;
class FreeSpaceMap;
struct MoreDataPlan;
struct PlannedByte;
struct WritePlan;
class FieldLimitBinder;
struct SpeciesEdits;

// The main window: a thin view that turns control texts into values for editor/ and puts results back.
// Its handlers are split by concern over Form1*.cpp.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(const QString& dataFolder, QWidget* parent = nullptr);
    ~Form1() override;

    // Data/ beside the executable, else the installed one.
    static QString DefaultDataFolder();

    // Every way of opening a ROM (the button, the command line, a drop, a recent file) ends here: the ROM is
    // checked, and either replaces the open one or is refused with a message. True when it was opened.
    bool OpenRomPath(const QString& path);

    // The open ROM, if any.
    const std::optional<EditorSession>& Session() const { return session_; }
    // The windows a save, the settings button and the insert button use; created on first use.
    Form2* ReportWindow();
    Form3* SettingsWindow();
    Form4* InsertWindow();
    // The window of evolutions, TM/HM and tutor compatibility; created on first use, then it follows the
    // selection whether shown or hidden.
    Form5* MoreDataWindow();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Start-up and opening (Form1.cpp).
    void LoadReferenceLists();
    void BindFieldLimits();
    void ConnectHandlers();
    void SetEditingEnabled(bool enabled);
    void OpenRom();
    void LoadNameList();
    // The .gba file a drag carries, or an empty text.
    static QString DroppedRom(const QMimeData* data);
    // Fills the move, ability, type and item lists from the ROM's tables or the list files.
    void FillNamedLists();
    std::string DataPath(const char* fileName) const;

    // The shown species (Form1Species.cpp).
    void ShowSpecies();
    // Saves the shown species; true when every byte is in the file.
    bool SaveSpecies();
    void SelectSilently(int row);
    [[nodiscard]] std::optional<SpeciesEdits> GatherEdits(QString* problem) const;

    // The pictures beside the graphics pointers (Form1Species.cpp).
    void UpdatePreview();

    // Pictures replaced from PNG files (Form1Pictures.cpp).
    void ReplacePicture(PictureImport::Kind kind);
    // Marks the pointer boxes of replaced pictures.
    void ShowReplacements();

    // The attack table frame (Form1Attacks.cpp).
    void LoadAttackTable(bool userAsked);
    void ShowAttackRow(int row);
    void ChangeAttackRow();
    void AddAttackRow();
    void RemoveAttackRow();
    void ShowInsertWindow();
    void InsertAttackTable();
    void FindSpaceForInsert();

    // The safety net (Form1Safety.cpp): unsaved edits, undo and redo, interrupted writes.
    void TrackEdits();
    void MarkEdited();
    void SpeciesSelected(int row);
    // Asks about unsaved edits before they would be lost; false when the user chose to stay.
    [[nodiscard]] bool ResolveUnsavedEdits();
    // Offers to roll back a write to the ROM that was interrupted; false when the ROM should not be opened.
    [[nodiscard]] bool SettleInterruptedWrite(const std::string& romPath);
    // Writes the plan through the ROM's writer; messages go over `parent`. True when it is all in the file.
    bool ApplyWrite(const WritePlan& plan, QWidget* parent);
    void CreateHistoryActions();
    void UpdateHistoryActions();
    void WriteBackStep(bool undo);

    // Files and the name field menu (Form1Files.cpp).
    void ExportSpeciesFile();
    void ImportSpeciesFile();
    void ExportNameList();
    void ReportUnwritten(const QString& path);
    void ShowNameMenu(const QPoint& globalPosition);
    void AppendToName(QChar symbol);

    // The window of more species data (Form1MoreData.cpp).
    void RefreshMoreDataNames();
    void FollowInMoreData();
    void ShowSpritesInMoreData();
    // The window's values of species index as bytes for its save, moves taking room from `space`. Nothing,
    // with *problem set, when a value cannot be saved; with *problem empty when the user chose not to save a
    // description the game may not show whole.
    [[nodiscard]] std::optional<MoreDataPlan> PlanMoreData(int index, FreeSpaceMap& space, QString* problem);

    // The menu bar, the status bar and the About box (Form1Menus.cpp).
    void SetUpMenus();
    void SetUpStatusBar();
    void MirrorButton(QAction* action, QAbstractButton* button);
    void UpdateRecentMenu();
    void OpenRecentRom(const QString& path);
    void ShowAbout();
    void ShowRomInfo();
    // The outcome of the last action, until the next one.
    void ShowStatus(const QString& text);
    // The permanent part: the open ROM's file name, game title and size.
    void ShowRomInStatus();

    Ui::Form1* ui;
    QString dataFolder_;
    std::optional<EditorSession> session_;
    std::unique_ptr<RomWriter> writer_;  // of the open ROM: every write and its history
    int shownIndex_ = -1;                // the species the controls hold
    PictureReplacements replaced_;       // its pictures imported and not saved yet
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* romInfoAction_ = nullptr;
    // The list files' names of the lists a ROM can name itself, loaded once at start.
    std::array<QStringList, RomNames::kListCount> listFiles_;
    FieldLimitBinder* limits_ = nullptr;
    QMenu* mnuName = nullptr;
    QMenu* mnuRecent = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblRom = nullptr;
    Form2* report_ = nullptr;
    Form3* settings_ = nullptr;
    Form4* insert_ = nullptr;
    Form5* moreData_ = nullptr;
    // Set while a species fills the window, so the preview is drawn once, at the end.
    bool fillingSpecies_ = false;
};
