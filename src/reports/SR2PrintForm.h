#pragma once
// The report window: options of the report kind it serves in a scrolling
// area, the export options, the preview of the report built, and the
// buttons to build, save or load a report document, enlarge the preview
// and close. One instance at a time, opened by RequestReport().
//
// Option controls: a kind's set-up loads elements of the template arrays
// DCheck, DLabel, DButton, DRtext, DFrame and DComboB (objectNames
// "DCheck1" ...) into the option area ReportsSScroll, or into a loaded
// DFrame, and places them in twips; a build reads them back. A loaded
// element is visible and keeps its template's height (DLabel 210,
// DButton 300, DCheck 210, DComboB 330, DRtext 1000, DFrame 600) unless
// the set-up gives one.

#include "BaseForm.h"
#include "ReportPrinter.h"

#include <QMap>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTextEdit;
class ReportPreview;

class SR2PrintForm : public BaseForm {
    Q_OBJECT
public:
    // Option-area lengths are twips; this many make one screen pixel.
    static constexpr int TwipsPerPixel = 12;

    explicit SR2PrintForm(QWidget *parent = nullptr);
    ~SR2PrintForm() override;

    // The open report window, or nullptr.
    static SR2PrintForm *instance();

    ReportPrinter &printer() { return m_printer; }
    ReportPreview *preview() const { return m_preview; } // "VSPrinter1"
    int reportKind() const { return m_kind; }

    // ---- option controls --------------------------------------------
    // Loads element i (i >= 1) into container (the option area when
    // nullptr); loading an element that exists returns it.
    QCheckBox *loadDCheck(int i, QWidget *container = nullptr);
    QLabel *loadDLabel(int i, QWidget *container = nullptr);
    QPushButton *loadDButton(int i, QWidget *container = nullptr);
    QTextEdit *loadDRtext(int i, QWidget *container = nullptr);
    QGroupBox *loadDFrame(int i, QWidget *container = nullptr);
    QComboBox *loadDComboB(int i, QWidget *container = nullptr);
    // A loaded element, or nullptr.
    QCheckBox *DCheck(int i) const;
    QLabel *DLabel(int i) const;
    QPushButton *DButton(int i) const;
    QTextEdit *DRtext(int i) const;
    QGroupBox *DFrame(int i) const;
    QComboBox *DComboB(int i) const;
    // True when DCheck(i) is loaded and ticked (its value is 1).
    bool optionTicked(int i) const;
    // The scrolling option area's contents ("ReportsSScroll").
    QWidget *optionArea() const;

    // Places a control in its container, in twips; -1 keeps the width or
    // height it has.
    static void placeTwips(QWidget *w, int left, int top, int width = -1, int height = -1);
    static int twipsLeft(const QWidget *w);
    static int twipsTop(const QWidget *w);
    static int twipsWidth(const QWidget *w);
    static int twipsHeight(const QWidget *w);

    // ArrangeReportForm: the export options at Left 15, Top top + height
    // + 100 in the option area, shown.
    void arrangeExportBlock(double top, double height);

    // ---- actions (the buttons' work) --------------------------------
    void createReport();       // Create Report
    void createPdf();          // PDF button
    void documentFlow();       // Save/Load Document
    void showEnlarged();       // Maximize Report Window
    void saveScheduleInfo();   // DButton(1) of the schedule kind
    bool isBuilding() const { return m_building; }
    // The end of the load, once the window is shown: the members kind
    // builds its report at once.
    void loadFinished();

protected:
    // The schedule kind asks before information typed and not stored is
    // dropped.
    bool queryClose() override;
    void unloadForm() override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *e) override;

private:
    template <class T> T *loadElement(QMap<int, QPointer<T>> &array, const QString &name, int i,
                                      QWidget *container, int templateHeight);
    void optionCheckReleased(int i);
    void showDocument();
    // Stores the schedule information box as it stands; false (the error
    // shown) when it could not be stored.
    bool storeScheduleInfo();
    // The schedule kind's information box holds a text other than the
    // stored one.
    bool scheduleInfoUnsaved() const;
    void buildUi();

    ReportPrinter m_printer;
    int m_kind = -1;
    bool m_building = false;

    ReportPreview *m_preview = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_optionArea = nullptr;
    QFrame *m_htmlFrame = nullptr;
    QCheckBox *m_htmlCheck = nullptr;
    QFrame *m_styleFrame = nullptr;
    QRadioButton *m_styleOption[5] = {};
    QPushButton *m_pdfButton = nullptr;
    QFrame *m_msgFrame = nullptr;
    QPushButton *m_createButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_maxButton = nullptr;
    QPushButton *m_closeButton = nullptr;

    QMap<int, QPointer<QCheckBox>> m_dCheck;
    QMap<int, QPointer<QLabel>> m_dLabel;
    QMap<int, QPointer<QPushButton>> m_dButton;
    QMap<int, QPointer<QTextEdit>> m_dRtext;
    QMap<int, QPointer<QGroupBox>> m_dFrame;
    QMap<int, QPointer<QComboBox>> m_dComboB;
};

// The open report window (through which the routines, the document
// dialogs and the enlarged preview reach its printer), or nullptr.
SR2PrintForm *ReportForm();
