// Interim stub: the real grid lands with the record-window services.
#include "CheckListGrid.h"

CheckListGrid::CheckListGrid(QWidget *parent) : QTableWidget(parent) {}
int CheckListGrid::Rows() const { return rowCount() + 1; }
int CheckListGrid::Row() const { return 0; }
void CheckListGrid::setRow(int) {}
QString CheckListGrid::header(int) const { return {}; }
QString CheckListGrid::text(int, int) const { return {}; }
qint32 CheckListGrid::idAt(int) const { return 0; }
QString CheckListGrid::nameAt(int) const { return {}; }
QString CheckListGrid::sortKeyAt(int) const { return {}; }
int CheckListGrid::checkState(int, int) const { return 0; }
void CheckListGrid::setCheckState(int, int, int) {}
bool CheckListGrid::hasActiveColumn() const { return false; }
QList<qint32> CheckListGrid::checkedIds() const { return {}; }
QSet<qint32> CheckListGrid::checkedIdSet() const { return {}; }
void CheckListGrid::setCheckedIds(const QSet<qint32> &) {}
void CheckListGrid::mousePressEvent(QMouseEvent *e) { QTableWidget::mousePressEvent(e); }
void CheckListGrid::keyPressEvent(QKeyEvent *e) { QTableWidget::keyPressEvent(e); }
void FillCheckGrid(CheckGridKind, CheckListGrid *, int, qint32, bool) {}
void FillVocalsCheckGrid(CheckListGrid *, int, qint32) {}
void FillThemesCheckGrid(CheckListGrid *, int, qint32) {}
void FillOrchestrationCheckGrid(CheckListGrid *, int, qint32) {}
void FillComposerCheckGrid(CheckListGrid *, int, qint32) {}
void FillChoirCheckGrid(CheckListGrid *, int, qint32, bool) {}
void FillSectionCheckGrid(CheckListGrid *, int, qint32) {}
void ResetCheckGrid(CheckListGrid *, int) {}
void ToggleGridCheck(CheckListGrid *, int) {}
void SetAllGridChecks(CheckListGrid *, bool) {}
