#pragma once
// The Record Data Manager panel: the record store and updated-records grids,
// the record spinner and count, the edit buttons ("Local Record Edit
// Controls") and the validity boxes ("Custom Date/Time"). The twelve line
// rows of the editor belong to the main window; the panel reaches them
// through RecordLineRows. The editing itself is RDMEditor's.
#include "core/datagrids.h"
#include "records/rdmeditor.h"

#include <QWidget>

class GridView;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The main window's twelve line rows (txtLine(0) .. txtLine(11)).
class RecordLineRows {
public:
    virtual ~RecordLineRows() = default;
    virtual QString lineText(int index) const = 0;
    virtual void setLineText(int index, const QString& text) = 0;
    // Puts the twelve rows into their editing state.
    virtual void enableLineRows() = 0;
};

class RDMPanel : public QWidget {
    Q_OBJECT
public:
    // Sets up the columns of igRDM and igUR and installs
    // recordshooks::showTotalRecords (removed again on destruction).
    explicit RDMPanel(DataGrids& grids, RecordLineRows* lineRows = nullptr, QWidget* parent = nullptr);
    ~RDMPanel() override;

    void setLineRows(RecordLineRows* lineRows) { lineRows_ = lineRows; }
    // The current record (mlngRDMRow, mlngRDMCol) lives here.
    RDMEditor& editor() { return editor_; }

    // Shows a row of igRDM in the line rows and the validity boxes and makes
    // it current (RDMEditor::showRDMRecord: the line rows become editable).
    void showRDMRecord(int row);
    // The same without touching the line rows' state (RDMEditor::showRecord),
    // for the main window's ShowRecordInLines.
    void showRecord(int row);
    // lblTotalRecords.
    void setTotalRecords(int count);
    // After a load of the store: shows its first record as the current one
    // (and asks the main window to show it, which makes it the window's
    // current record too), or empties the editor when the store is empty,
    // so that Update never writes a record of the previous store.
    void showLoadedRecords();

    QGroupBox* fraRDM;
    GridView* igRDMView;
    GridView* igURView;
    QScrollBar* vsRecord;
    QLineEdit* txtRecord;
    QLabel* lblTotalRecords;
    QPushButton* btnSaveRADE;

    QGroupBox* fraRDMControls;
    QPushButton* btnAddRDM;
    QPushButton* btnUpdateRDM;
    QPushButton* btnDeleteRDM;
    QPushButton* btnUpRDM;
    QPushButton* btnDownRDM;
    QPushButton* btnSaveRDM;

    // Sits in the main window's "Record" frame; the window may re-parent it.
    QGroupBox* fraDateTimeValidation;
    QLineEdit* txtDTStartTime;
    QLineEdit* txtDTEndTime;
    QLineEdit* txtDTStartDate;
    QLineEdit* txtDTEndDate;

public Q_SLOTS:
    void btnAddRDM_Click();
    void btnUpdateRDM_Click();
    void btnDeleteRDM_Click();
    void btnUpRDM_Click();
    void btnDownRDM_Click();
    void btnSaveRDM_Click();
    void btnSaveRADE_Click();
    void vsRecord_Change(int value);

Q_SIGNALS:
    // The record spinner asks the main window to show this row in the line
    // rows (its ShowRecordInLines).
    void showRecordInLinesRequested(int row);

private:
    RDMEditTexts gatherTexts() const;
    void applyTexts(const RDMEditTexts& texts);
    QLineEdit* validityBox(ValidityBox box) const;
    // Runs an editor step on the current texts and shows the outcome.
    void edit(void (RDMEditor::*step)(RDMEditTexts&));
    void selectCurrentRow();
    void show(int row, bool (RDMEditor::*step)(int, RDMEditTexts&));

    DataGrids& grids_;
    RecordLineRows* lineRows_;
    RDMEditor editor_;
};
