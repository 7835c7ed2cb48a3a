#include "SR2PrintForm.h"

#include "AppPaths.h"
#include "Cursor.h"
#include "Db.h"
#include "Guard.h"
#include "Module.h"
#include "PrintPageForm.h"
#include "Prompter.h"
#include "RForm.h"
#include "ReportFile.h"
#include "ReportKinds.h"
#include "ReportPdf.h"
#include "ReportPreview.h"
#include "ReportRoutines.h"
#include "SaveLoadDocumentForm.h"
#include "ScheduleInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

namespace {

SR2PrintForm *g_instance = nullptr;

const char *const TwLeft = "twLeft";
const char *const TwTop = "twTop";
const char *const TwWidth = "twWidth";
const char *const TwHeight = "twHeight";

int toPixels(double twips)
{
    return int(std::lround(twips / SR2PrintForm::TwipsPerPixel));
}

// The option area's contents: grows with the controls placed in it, so the
// scroll area scrolls to every one of them.
class OptionArea : public QWidget {
public:
    explicit OptionArea(QWidget *parent) : QWidget(parent) {}

    void updateExtent()
    {
        int right = 0;
        int bottom = 0;
        for (QObject *o : children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (!w || w->isHidden())
                continue;
            right = qMax(right, w->geometry().right());
            bottom = qMax(bottom, w->geometry().bottom());
        }
        setMinimumSize(right + 8, bottom + 8);
    }

protected:
    void childEvent(QChildEvent *e) override
    {
        if (e->added() && e->child()->isWidgetType())
            e->child()->installEventFilter(this);
        QWidget::childEvent(e);
        updateExtent();
    }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            updateExtent();
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, e);
    }
};

// Export format of each StyleOption.
const ExportFormat styleFormats[5] = {ExportFormat::Rtf, ExportFormat::Html, ExportFormat::PagedHtml,
                                      ExportFormat::Dhtml, ExportFormat::PagedDhtml};

} // namespace

SR2PrintForm *ReportForm()
{
    return g_instance;
}

SR2PrintForm *SR2PrintForm::instance()
{
    return g_instance;
}

SR2PrintForm::SR2PrintForm(QWidget *parent) : BaseForm(&hx().SR2PrintFormLoaded, parent)
{
    setObjectName(QStringLiteral("SR2PrintForm"));
    BusyCursor busy;
    // Fits the main window's area at its first size (1100 x 760) with its
    // frame; the options scroll, the preview takes what is left.
    resize(880, 660);
    g_instance = this;
    m_kind = hx().ReportType;
    buildUi();

    if (ReportKinds::Setup setup = ReportKinds::setup(m_kind)) {
        // A set-up that fails leaves the window open with what it placed.
        guarded([&] { setup(); });
    }
    setWindowTitle(ReportKinds::caption(m_kind));
    if (m_kind == ReportKinds::Schedule)
        m_printer.setOrientation(PageOrientation::Landscape);
    update();
}

SR2PrintForm::~SR2PrintForm()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void SR2PrintForm::buildUi()
{
    // Frame1 holds the templates of the option arrays; it is never shown.
    auto *frame1 = new QFrame(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->hide();
    (new QCheckBox(frame1))->setObjectName(QStringLiteral("DCheck0"));
    (new QLabel(frame1))->setObjectName(QStringLiteral("DLabel0"));
    (new QPushButton(frame1))->setObjectName(QStringLiteral("DButton0"));
    (new QTextEdit(frame1))->setObjectName(QStringLiteral("DRtext0"));
    (new QGroupBox(frame1))->setObjectName(QStringLiteral("DFrame0"));
    (new QComboBox(frame1))->setObjectName(QStringLiteral("DComboB0"));

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ReportsSScroll"));
    m_scroll->setAccessibleName(QStringLiteral("Report options"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFixedWidth(toPixels(3900) + 24);
    m_optionArea = new OptionArea(m_scroll);
    m_optionArea->setObjectName(QStringLiteral("ReportsSScrollArea"));
    m_scroll->setWidget(m_optionArea);

    // The export block, shown below the options by ArrangeReportForm.
    m_htmlFrame = new QFrame(m_optionArea);
    m_htmlFrame->setObjectName(QStringLiteral("HTMLFrame"));
    m_htmlFrame->setFrameShape(QFrame::StyledPanel);
    auto *htmlLayout = new QVBoxLayout(m_htmlFrame);
    m_pdfButton = new QPushButton(QStringLiteral("Create a PDF Document from Displayed Report"), m_htmlFrame);
    m_pdfButton->setObjectName(QStringLiteral("PDFReportButton"));
    m_pdfButton->setEnabled(false);
    htmlLayout->addWidget(m_pdfButton);
    m_htmlCheck = new QCheckBox(QStringLiteral("Create HTML or RTF document"), m_htmlFrame);
    m_htmlCheck->setObjectName(QStringLiteral("HTMLCheck"));
    htmlLayout->addWidget(m_htmlCheck);
    m_styleFrame = new QFrame(m_htmlFrame);
    m_styleFrame->setObjectName(QStringLiteral("StyleFrame"));
    auto *styleLayout = new QVBoxLayout(m_styleFrame);
    styleLayout->setContentsMargins(16, 0, 0, 0);
    const char *captions[5] = {"Rich Text Document", "HTML Document", "Paged HTML Document", "DHTML Document",
                               "Paged DHTML Document"};
    for (int i = 0; i < 5; ++i) {
        m_styleOption[i] = new QRadioButton(QLatin1String(captions[i]), m_styleFrame);
        m_styleOption[i]->setObjectName(QStringLiteral("StyleOption%1").arg(i));
        styleLayout->addWidget(m_styleOption[i]);
    }
    m_styleOption[2]->setChecked(true);
    htmlLayout->addWidget(m_styleFrame);
    m_styleFrame->hide();
    m_htmlFrame->hide();

    m_createButton = new QPushButton(QStringLiteral("Create Report"), this);
    m_createButton->setObjectName(QStringLiteral("CreateButton"));
    m_saveButton = new QPushButton(QStringLiteral("Save/Load Document"), this);
    m_saveButton->setObjectName(QStringLiteral("SaveButton"));
    m_maxButton = new QPushButton(QStringLiteral("Maximize Report Window"), this);
    m_maxButton->setObjectName(QStringLiteral("MaxButton"));
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));

    m_preview = new ReportPreview(this);
    m_preview->setObjectName(QStringLiteral("VSPrinter1"));

    auto *left = new QVBoxLayout;
    left->addWidget(m_scroll, 1);
    left->addWidget(m_createButton);
    left->addWidget(m_saveButton);
    left->addWidget(m_maxButton);
    left->addWidget(m_closeButton);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addWidget(m_preview, 1);

    m_msgFrame = new QFrame(this);
    m_msgFrame->setObjectName(QStringLiteral("MsgFrame"));
    m_msgFrame->setFrameShape(QFrame::Box);
    m_msgFrame->setAutoFillBackground(true);
    auto *msgLayout = new QVBoxLayout(m_msgFrame);
    auto *msg = new QLabel(QStringLiteral("Processing Report ........"), m_msgFrame);
    msg->setObjectName(QStringLiteral("MsgLabel"));
    msgLayout->addWidget(msg);
    m_msgFrame->hide();

    connect(m_createButton, &QPushButton::clicked, this, &SR2PrintForm::createReport);
    connect(m_saveButton, &QPushButton::clicked, this, &SR2PrintForm::documentFlow);
    connect(m_maxButton, &QPushButton::clicked, this, &SR2PrintForm::showEnlarged);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_pdfButton, &QPushButton::clicked, this, &SR2PrintForm::createPdf);
    connect(m_htmlCheck, &QCheckBox::clicked, this, [this] {
        m_styleFrame->setVisible(m_htmlCheck->isChecked());
        // The export block grows and shrinks with the style choices.
        const int h = m_htmlFrame->sizeHint().height() * TwipsPerPixel;
        placeTwips(m_htmlFrame, twipsLeft(m_htmlFrame), twipsTop(m_htmlFrame), twipsWidth(m_htmlFrame), h);
    });
}

void SR2PrintForm::loadFinished()
{
    if (m_kind == ReportKinds::Members)
        createReport();
}

// ---- option controls ----------------------------------------------------------

template <class T>
T *SR2PrintForm::loadElement(QMap<int, QPointer<T>> &array, const QString &name, int i, QWidget *container,
                             int templateHeight)
{
    if (T *existing = array.value(i))
        return existing;
    T *w = new T(container ? container : m_optionArea);
    w->setObjectName(name + QString::number(i));
    placeTwips(w, 0, 0, 3330, templateHeight);
    w->show();
    array.insert(i, w);
    return w;
}

QCheckBox *SR2PrintForm::loadDCheck(int i, QWidget *container)
{
    const bool fresh = !m_dCheck.value(i);
    QCheckBox *c = loadElement(m_dCheck, QStringLiteral("DCheck"), i, container, 210);
    if (fresh)
        connect(c, &QCheckBox::clicked, this, [this, i] { optionCheckReleased(i); });
    return c;
}

QLabel *SR2PrintForm::loadDLabel(int i, QWidget *container)
{
    QLabel *l = loadElement(m_dLabel, QStringLiteral("DLabel"), i, container, 210);
    l->setWordWrap(true);
    return l;
}

QPushButton *SR2PrintForm::loadDButton(int i, QWidget *container)
{
    const bool fresh = !m_dButton.value(i);
    QPushButton *b = loadElement(m_dButton, QStringLiteral("DButton"), i, container, 300);
    if (fresh) {
        connect(b, &QPushButton::clicked, this, [this, i] {
            if (m_kind == ReportKinds::Schedule && i == 1)
                saveScheduleInfo();
        });
    }
    return b;
}

QTextEdit *SR2PrintForm::loadDRtext(int i, QWidget *container)
{
    QTextEdit *t = loadElement(m_dRtext, QStringLiteral("DRtext"), i, container, 1000);
    t->setAcceptRichText(false);
    t->setTabChangesFocus(true);
    return t;
}

QGroupBox *SR2PrintForm::loadDFrame(int i, QWidget *container)
{
    QGroupBox *f = loadElement(m_dFrame, QStringLiteral("DFrame"), i, container, 600);
    // A frame only holds its controls together: no line of its own drawn
    // through the caption of the check box at its top.
    f->setFlat(true);
    f->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0px; padding: 0px; }"));
    return f;
}

QComboBox *SR2PrintForm::loadDComboB(int i, QWidget *container)
{
    return loadElement(m_dComboB, QStringLiteral("DComboB"), i, container, 330);
}

QCheckBox *SR2PrintForm::DCheck(int i) const { return m_dCheck.value(i); }
QLabel *SR2PrintForm::DLabel(int i) const { return m_dLabel.value(i); }
QPushButton *SR2PrintForm::DButton(int i) const { return m_dButton.value(i); }
QTextEdit *SR2PrintForm::DRtext(int i) const { return m_dRtext.value(i); }
QGroupBox *SR2PrintForm::DFrame(int i) const { return m_dFrame.value(i); }
QComboBox *SR2PrintForm::DComboB(int i) const { return m_dComboB.value(i); }

bool SR2PrintForm::optionTicked(int i) const
{
    QCheckBox *c = DCheck(i);
    return c && c->isChecked();
}

QWidget *SR2PrintForm::optionArea() const
{
    return m_optionArea;
}

void SR2PrintForm::placeTwips(QWidget *w, int left, int top, int width, int height)
{
    if (!w)
        return;
    if (width < 0)
        width = twipsWidth(w);
    if (height < 0)
        height = twipsHeight(w);
    w->setProperty(TwLeft, left);
    w->setProperty(TwTop, top);
    w->setProperty(TwWidth, width);
    w->setProperty(TwHeight, height);
    w->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

namespace {
int twipsOf(const QWidget *w, const char *name, int pixels)
{
    if (!w)
        return 0;
    const QVariant v = w->property(name);
    return v.isValid() ? v.toInt() : pixels * SR2PrintForm::TwipsPerPixel;
}
} // namespace

int SR2PrintForm::twipsLeft(const QWidget *w) { return twipsOf(w, TwLeft, w ? w->x() : 0); }
int SR2PrintForm::twipsTop(const QWidget *w) { return twipsOf(w, TwTop, w ? w->y() : 0); }
int SR2PrintForm::twipsWidth(const QWidget *w) { return twipsOf(w, TwWidth, w ? w->width() : 0); }
int SR2PrintForm::twipsHeight(const QWidget *w) { return twipsOf(w, TwHeight, w ? w->height() : 0); }

void SR2PrintForm::arrangeExportBlock(double top, double height)
{
    m_htmlFrame->setParent(m_optionArea);
    m_htmlFrame->adjustSize();
    const int h = m_htmlFrame->sizeHint().height() * TwipsPerPixel;
    const int w = qMax(3585, m_htmlFrame->sizeHint().width() * TwipsPerPixel);
    placeTwips(m_htmlFrame, 15, int(std::lround(top + height + 100)), w, h);
    m_htmlFrame->show();
}

void SR2PrintForm::optionCheckReleased(int i)
{
    if (m_kind == ReportKinds::Collections) {
        if (i == 6 && optionTicked(6) && DCheck(7))
            DCheck(7)->setChecked(false);
        if (i == 7 && optionTicked(7) && DCheck(6))
            DCheck(6)->setChecked(false);
    } else if (m_kind == ReportKinds::Schedule) {
        if (QGroupBox *f = DFrame(1))
            f->setVisible(!optionTicked(1));
    }
    update();
}

// ---- Create Report ---------------------------------------------------------------

void SR2PrintForm::createReport()
{
    // A second click while a report is being built (a message box of the
    // build lets clicks through) must not start a second build.
    if (m_building)
        return;
    m_building = true;
    // Greying the buttons moves the focus on, down to Close, where the next
    // Space would close the window; it comes back to where it was.
    struct Done {
        SR2PrintForm *f;
        QPointer<QWidget> focus;
        ~Done()
        {
            f->m_building = false;
            f->m_createButton->setEnabled(true);
            f->m_saveButton->setEnabled(true);
            f->m_maxButton->setEnabled(true);
            f->m_msgFrame->hide();
            if (focus && f->isAncestorOf(focus) && focus->isEnabled() && focus->isVisible())
                focus->setFocus(Qt::OtherFocusReason);
        }
    } done{this, QApplication::focusWidget()};
    m_createButton->setEnabled(false);
    m_saveButton->setEnabled(false);
    m_maxButton->setEnabled(false);

    m_printer.clear();
    m_preview->setDocument(ReportDocument());
    m_msgFrame->adjustSize();
    m_msgFrame->move(m_preview->geometry().center() - QPoint(m_msgFrame->width() / 2, m_msgFrame->height() / 2));
    m_msgFrame->raise();
    m_msgFrame->show();
    // Paint the notice; clicks wait until the build is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    m_printer.setExportFile(QString());
    int style = 2;
    for (int i = 0; i < 5; ++i) {
        if (m_styleOption[i]->isChecked())
            style = i;
    }
    m_printer.setExportFormat(styleFormats[style]);
    if (m_htmlCheck->isChecked()) {
        MsgBox(QStringLiteral("When prompted enter the file name for the RTF/HTML version of report"), QString(),
               MsgButtons::Ok, MsgIcon::Information);
        const QString path = style == 0
            ? ShowFileDialog(QStringLiteral("RTF Files (*.rtf) | *.rtf"), AppPaths::inProgramFolder(QStringLiteral("rpt.rtf")))
            : ShowFileDialog(QStringLiteral("HTML Files (*.htm; *html) | *.htm;*.html"),
                             AppPaths::inProgramFolder(QStringLiteral("rpt.htm")));
        m_printer.setExportFile(path);
    }

    ReportKinds::Build build = ReportKinds::build(m_kind);
    if (!build) {
        MsgBox(QStringLiteral("This report is not available."), QString(), MsgButtons::Ok, MsgIcon::Exclamation);
    } else {
        QString why;
        {
            BusyCursor busy;
            try {
                build(m_printer);
            } catch (const DbError &e) {
                why = e.message();
            } catch (const std::exception &e) {
                why = QString::fromLocal8Bit(e.what());
            }
        }
        if (!why.isEmpty()) {
            // Nothing half-built is shown or exported.
            m_printer.abortDoc();
            Cursor::reset();
            MsgBox(QStringLiteral("The report could not be built:\n%1").arg(why), QString(), MsgButtons::Ok,
                   MsgIcon::Critical);
        } else if (m_printer.isDocOpen()) {
            m_printer.endDoc();
        }
    }
    if (g_instance != this)
        return;
    m_preview->setDocument(m_printer.document());
    m_pdfButton->setEnabled(true);
}

// ---- PDF ---------------------------------------------------------------------------

void SR2PrintForm::createPdf()
{
    if (m_building)
        return;
    const QString path = ShowFileDialog(QStringLiteral("PDF Files (*.pdf;) | *.pdf;"),
                                        AppPaths::inProgramFolder(QStringLiteral("rpt.pdf")));
    if (path.isEmpty())
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const ReportDocument doc = m_preview->document();
    if (doc.isEmpty()) {
        MsgBox(QStringLiteral("There is no report to convert to PDF."), QStringLiteral("PDF Confirmation"),
               MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    QString error;
    bool ok = false;
    {
        BusyCursor busy;
        ok = ReportPdf::write(doc, path, &error);
    }
    if (ok)
        MsgBox(QStringLiteral("The PDF version of displayed report has been created"), QStringLiteral("PDF Confirmation"),
               MsgButtons::Ok, MsgIcon::Information);
    else
        MsgBox(QStringLiteral("The PDF version of the displayed report could not be created.\n%1").arg(error),
               QStringLiteral("PDF Confirmation"), MsgButtons::Ok, MsgIcon::Critical);
}

// ---- report documents ------------------------------------------------------------

void SR2PrintForm::documentFlow()
{
    if (m_building)
        return;
    const bool canSave = !m_preview->document().isEmpty();
    hx().DocumentAction = 0;
    {
        SaveLoadDocumentForm choose(canSave, this);
        prompter().execDialog(choose);
    }
    const int action = hx().DocumentAction;
    if (action == 0 && !canSave) {
        MsgBox(QStringLiteral("There is no report to save."), QString(), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const QString path = ShowFileDialog(QStringLiteral("System Report Files (*.vsr;)|*.vsr;"), QString(),
                                        action == 0 ? FileMode::Save : FileMode::Open);
    if (path.isEmpty())
        return;

    QString error;
    if (action == 0) {
        {
            PrintPageForm range(m_preview->pageCount(), m_preview->previewPage(), this);
            if (prompter().execDialog(range) != QDialog::Accepted)
                hx().PageRange[0] = -1;
        }
        if (hx().PageRange[0] == -1)
            return;
        bool ok = false;
        {
            BusyCursor busy;
            if (hx().PageRange[0] + hx().PageRange[1] != 0)
                ok = ReportFile::save(m_preview->document(), path, &error, hx().PageRange[0], hx().PageRange[1]);
            else
                ok = ReportFile::save(m_preview->document(), path, &error);
        }
        if (!ok)
            MsgBox(QStringLiteral("The report document was not saved.\n%1").arg(error), QString(), MsgButtons::Ok,
                   MsgIcon::Critical);
        return;
    }

    ReportDocument loaded;
    bool ok = false;
    {
        BusyCursor busy;
        ok = ReportFile::load(path, &loaded, &error);
        if (ok) {
            if (action == 1)
                m_printer.setDocument(loaded);
            else
                m_printer.appendDocument(loaded);
            const int page = m_preview->previewPage();
            m_preview->setDocument(m_printer.document());
            if (action == 2 && page > 0)
                m_preview->setPreviewPage(page);
        }
    }
    if (!ok)
        MsgBox(error, QString(), MsgButtons::Ok, MsgIcon::Critical);
}

// ---- enlarged preview ----------------------------------------------------------------

void SR2PrintForm::showEnlarged()
{
    if (m_building)
        return;
    std::unique_ptr<RForm> enlarged;
    {
        BusyCursor busy;
        enlarged = std::make_unique<RForm>(m_preview->document(), this);
    }
    prompter().execDialog(*enlarged);
    Cursor::reset();
}

// ---- schedule information ---------------------------------------------------------

void SR2PrintForm::saveScheduleInfo()
{
    if (storeScheduleInfo())
        MsgBox(QStringLiteral("Information has been saved"), QStringLiteral("Schedule Info"), MsgButtons::Ok,
               MsgIcon::Information);
}

bool SR2PrintForm::storeScheduleInfo()
{
    const QString text = DRtext(1) ? DRtext(1)->toPlainText() : QString();
    return guarded([&] {
        BusyCursor busy;
        ScheduleInfo::store(text);
    });
}

bool SR2PrintForm::scheduleInfoUnsaved() const
{
    if (m_kind != ReportKinds::Schedule || !DRtext(1))
        return false;
    QString stored;
    // A text that cannot be read back counts as not stored: asking is
    // safer than dropping it.
    if (!guarded([&] { stored = ScheduleInfo::text(); }))
        return true;
    // Compared as the box would show the stored text (its line ends made
    // plain), so a text nobody touched never asks.
    QTextDocument shown;
    shown.setPlainText(stored);
    return DRtext(1)->toPlainText() != shown.toPlainText();
}

// ---- lifecycle -------------------------------------------------------------------

void SR2PrintForm::unloadForm()
{
    m_printer.setOrientation(PageOrientation::Portrait);
    hx().ReportType = -1;
    if (g_instance == this)
        g_instance = nullptr;
}

bool SR2PrintForm::queryClose()
{
    // The information typed for all choirs is kept only by its button;
    // closing the window must not drop it unasked. Not stored (the error
    // shown): the window stays with the text.
    return !scheduleInfoUnsaved()
        || askToSave(QStringLiteral("Save the changes to the schedule information?"), QStringLiteral("Schedule Info"),
                     [this] { return storeScheduleInfo(); });
}

void SR2PrintForm::closeEvent(QCloseEvent *event)
{
    // The window stays while a build draws on its printer.
    if (m_building) {
        event->ignore();
        return;
    }
    BaseForm::closeEvent(event);
}

bool SR2PrintForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Cursor::reset();
    return BaseForm::event(e);
}
