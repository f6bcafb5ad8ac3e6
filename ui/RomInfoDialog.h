#pragma once

#include <QDialog>

#include "rom/EditorSession.h"

class QLabel;
class QTableWidget;

// File > ROM Information: every table of the open ROM, where it is and how it was found, so that a hack's
// moved tables are never a silent matter; a button keeps the found offsets in the ROM's own settings file.
class RomInfoDialog : public QDialog {
    Q_OBJECT
public:
    RomInfoDialog(const EditorSession& session, QWidget* parent);

private:
    void SaveOffsets();

    const EditorSession& session_;
    QTableWidget* tblTables;
    QLabel* lblSaved;
};
