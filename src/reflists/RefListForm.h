#pragma once
// The reference-list windows: one design, nine windows. Each lists its
// table by name in a grid (hidden id in column 0) and adds, renames and
// deletes entries through the add/edit dialog. Each window keeps its own
// class and name so the dispatcher and the refreshers can find it by form
// code.

#include "BaseForm.h"
#include "RefKinds.h"

class QPushButton;
class QTableWidget;

class RefListForm : public BaseForm {
    Q_OBJECT
public:
    const RefKind &kind() const { return m_kind; }
    QTableWidget *grid() const { return m_grid; }

    // True rebuilds the grid from the table; False leaves the header only.
    void fillGrid(bool loadTheData);

    // The selected entry's grid row, 1-based as the header counts as row
    // 0; 0 when no entry is selected.
    int currentRow() const;

protected:
    RefListForm(RefKindId kind, bool *loadedFlag);

private:
    void addClicked();
    void modifyClicked();
    void deleteClicked();
    // After an add, a rename or a delete: this list and every open window
    // that lists the same kind.
    void afterChange();
    // Runs the dialog in a mode; true when the user saved.
    bool runDialog(int mode);

    const RefKind &m_kind;
    QTableWidget *m_grid = nullptr;
};

class ThemeForm : public RefListForm {
    Q_OBJECT
public:
    ThemeForm();
    void FillThemeGrid(bool loadTheData) { fillGrid(loadTheData); }
};

class VocalsForm : public RefListForm {
    Q_OBJECT
public:
    VocalsForm();
    void FillVocalsGrid(bool loadTheData) { fillGrid(loadTheData); }
};

class ComposerForm : public RefListForm {
    Q_OBJECT
public:
    ComposerForm();
    void FillComposerGrid(bool loadTheData) { fillGrid(loadTheData); }
};

class OrchestrationForm : public RefListForm {
    Q_OBJECT
public:
    OrchestrationForm();
    void FillOrchestrationGrid(bool loadTheData) { fillGrid(loadTheData); }
};

class ChoirForm : public RefListForm {
    Q_OBJECT
public:
    ChoirForm();
};

class VocalsMForm : public RefListForm {
    Q_OBJECT
public:
    VocalsMForm();
};

class CityForm : public RefListForm {
    Q_OBJECT
public:
    CityForm();
};

class ZipForm : public RefListForm {
    Q_OBJECT
public:
    ZipForm();
};

class SchoolForm : public RefListForm {
    Q_OBJECT
public:
    SchoolForm();
};

// Registers the nine windows with the form dispatcher under their codes.
void registerRefListForms();
