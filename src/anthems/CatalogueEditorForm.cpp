#include "CatalogueEditorForm.h"

#include "CatalogueRecord.h"
#include "CheckListGrid.h"
#include "DateField.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "Guard.h"
#include "ListRefresh.h"
#include "SpellCheck.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

QGridLayout *CatalogueEditorForm::buildCatalogueRows(QWidget *page, const QString &nameObject,
                                                     const QString &nameCaption, int nameWidth,
                                                     const QString &purchasedCaption)
{
    auto *g = new QGridLayout(page);

    // Created in tab order.
    RecordName = makeTextField(nameObject, nameWidth, page);
    Catalog = makeTextField(QStringLiteral("Catalog"), CatalogueFields::CatalogWidth, page);
    Location = makeTextField(QStringLiteral("Location"), CatalogueFields::LocationWidth, page);
    DatePurchased = makeDateField(QStringLiteral("DatePurchased"), page);
    LastPerformed = makeDateField(QStringLiteral("LastPerformed"), page);
    btnClearDate0 = makeClearDateButton(QStringLiteral("btnClearDate0"), DatePurchased, page);
    btnClearDate1 = makeClearDateButton(QStringLiteral("btnClearDate1"), LastPerformed, page);
    // Both buttons read "ClearDate"; a screen reader tells them apart.
    btnClearDate0->setAccessibleName(QStringLiteral("Clear the Date Purchased"));
    btnClearDate1->setAccessibleName(QStringLiteral("Clear the Last Performed date"));
    QPushButton *btnAllPerform = makePerformedDatesButton(page);
    CostPerCopy = makeTextField(QStringLiteral("CostPerCopy"), 30, page);
    NumCopies = makeTextField(QStringLiteral("NumCopies"), 30, page);
    Pages = makeTextField(QStringLiteral("Pages"), CatalogueFields::PagesWidth, page);
    PerformTime = makeTextField(QStringLiteral("PerformTime"), CatalogueFields::PerformTimeWidth, page);

    g->addWidget(makeCaption(nameCaption, RecordName, page), 0, 0);
    g->addWidget(RecordName, 0, 1, 1, 5);
    g->addWidget(makeCaption(QStringLiteral("Catalog Number"), Catalog, page), 1, 0);
    g->addWidget(Catalog, 1, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Location"), Location, page), 1, 3);
    g->addWidget(Location, 1, 4, 1, 2);
    g->addWidget(makeCaption(purchasedCaption, DatePurchased, page), 2, 0);
    g->addWidget(DatePurchased, 2, 1);
    g->addWidget(btnClearDate0, 2, 2);
    g->addWidget(makeCaption(QStringLiteral("Last performed"), LastPerformed, page), 2, 3);
    g->addWidget(LastPerformed, 2, 4);
    auto *performButtons = new QHBoxLayout;
    performButtons->addWidget(btnClearDate1);
    performButtons->addWidget(btnAllPerform);
    g->addLayout(performButtons, 2, 5);
    g->addWidget(makeCaption(QStringLiteral("Cost Per Copy"), CostPerCopy, page), 3, 0);
    g->addWidget(CostPerCopy, 3, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("# of Copies"), NumCopies, page), 3, 3);
    g->addWidget(NumCopies, 3, 4, 1, 2);
    // The two long captions go onto a second line where the window is
    // narrow (a small screen), so the dates beside them keep their room.
    QLabel *pagesCaption = makeCaption(QStringLiteral("Page(s), Page #, or Page Range"), Pages, page);
    QLabel *timeCaption = makeCaption(QStringLiteral("Performance Time (hh:mm:ss)"), PerformTime, page);
    for (QLabel *l : {pagesCaption, timeCaption})
        l->setWordWrap(true);
    g->addWidget(pagesCaption, 4, 0);
    g->addWidget(Pages, 4, 1, 1, 2);
    g->addWidget(timeCaption, 4, 3);
    g->addWidget(PerformTime, 4, 4, 1, 2);
    return g;
}

void CatalogueEditorForm::makeMainLinkGrids(QWidget *page)
{
    VocalsGrid = makeCheckGrid(QStringLiteral("VocalsGrid"), QStringLiteral("Vocalizing"), page);
    ComposersGrid = makeCheckGrid(QStringLiteral("ComposersGrid"), QStringLiteral("Composer/Arranger"), page);
    btnAddVocal = makeButton(QStringLiteral("btnAddVocal"), QStringLiteral("Add New Vocalization"), page);
    btnAddComposer = makeButton(QStringLiteral("btnAddComposer"), QStringLiteral("Add New Composer/Arranger"), page);
}

QWidget *CatalogueEditorForm::buildLinksPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    ThemesGrid = makeCheckGrid(QStringLiteral("ThemesGrid"), QStringLiteral("Themes"), page);
    OrchGrid = makeCheckGrid(QStringLiteral("OrchGrid"), QStringLiteral("Orchestration"), page);
    ChoirGrid = makeCheckGrid(QStringLiteral("ChoirGrid"), QStringLiteral("Choirs"), page);
    btnAddTheme = makeButton(QStringLiteral("btnAddTheme"), QStringLiteral("Add New Theme"), page);
    btnAddOrch = makeButton(QStringLiteral("btnAddOrch"), QStringLiteral("Add New Orchestration"), page);
    LoanedTo = makeTextField(QStringLiteral("LoanedTo"), CatalogueFields::LoanedToWidth, page);
    g->addWidget(ThemesGrid, 0, 0);
    g->addWidget(OrchGrid, 0, 1);
    g->addWidget(ChoirGrid, 0, 2);
    g->addWidget(btnAddTheme, 1, 0);
    g->addWidget(btnAddOrch, 1, 1);
    g->addWidget(makeCaption(QStringLiteral("Loaned to"), LoanedTo, page), 2, 0);
    g->addWidget(LoanedTo, 3, 0, 1, 3);
    g->setRowStretch(0, 1);
    return page;
}

void CatalogueEditorForm::addNotesPage()
{
    Memo1 = addMemoPage(QStringLiteral("Memo1"), QStringLiteral("Notes"));
}

void CatalogueEditorForm::connectCatalogueFields()
{
    // Loaded in the order the editors have always marked them.
    registerCheckGrid(CheckGridKind::Themes, ThemesGrid);
    registerCheckGrid(CheckGridKind::Vocals, VocalsGrid);
    registerCheckGrid(CheckGridKind::Orchestration, OrchGrid);
    registerCheckGrid(CheckGridKind::Choirs, ChoirGrid);
    registerCheckGrid(CheckGridKind::Composers, ComposersGrid);

    connect(btnAddTheme, &QPushButton::clicked, this, [] { guarded([] { AddNewTheme(); }); });
    connect(btnAddVocal, &QPushButton::clicked, this, [] { guarded([] { AddNewVocalization(); }); });
    connect(btnAddComposer, &QPushButton::clicked, this, [] { guarded([] { AddNewComposer(); }); });
    connect(btnAddOrch, &QPushButton::clicked, this, [] { guarded([] { AddNewOrchestration(); }); });

    for (QWidget *w : std::initializer_list<QWidget *>{Catalog, Location, CostPerCopy, NumCopies, Pages, PerformTime,
                                                       LoanedTo})
        InstallSelectAllOnFocus(w);
    for (QWidget *w : std::initializer_list<QWidget *>{RecordName, LoanedTo, Memo1})
        installSpellCheckKey(w);
}

void CatalogueEditorForm::clearCatalogueFields()
{
    tabs()->setCurrentIndex(0);
    RecordName->clear();
    LastPerformed->clear();
    DatePurchased->clear();
    Location->clear();
    Catalog->clear();
    Memo1->clear();
    CostPerCopy->setText(Fmt::currency(0));
    NumCopies->setText(Fmt::wholeNumber(0));
    Pages->clear();
    PerformTime->clear();
    LoanedTo->clear();
    clearUserFields();
}

void CatalogueEditorForm::showCatalogueFields(const CatalogueFields &r, const QString &name, NoNumber noNumber)
{
    RecordName->setText(name);
    Location->setText(r.location);
    Catalog->setText(r.catalog);
    DatePurchased->setDate(r.datePurchased);
    LastPerformed->setDate(r.lastPerformed);
    if (r.costPerCopy || noNumber == NoNumber::Blank)
        CostPerCopy->setText(r.costPerCopy ? Fmt::currency(*r.costPerCopy) : QString());
    if (r.numCopies || noNumber == NoNumber::Blank)
        NumCopies->setText(r.numCopies ? Fmt::wholeNumber(double(*r.numCopies)) : QString());
    Memo1->setPlainText(r.memo1);
    Pages->setText(r.pages);
    PerformTime->setText(r.performTime);
    LoanedTo->setText(r.loanedTo);
    showUserFields(r.u);
}

bool CatalogueEditorForm::readCatalogueFields(CatalogueFields &r, QString &name)
{
    if (!acceptDates({DatePurchased, LastPerformed}))
        return false;
    const Fmt::CostInput cost = Fmt::parseCost(CostPerCopy->text());
    if (!cost.valid)
        return refuseInput(CostPerCopy, QStringLiteral("\"%1\" is not an amount.\nPlease type the cost per copy as a "
                                                       "number, such as 12.50, or leave the field empty.")
                                            .arg(CostPerCopy->text().trimmed()));
    const Fmt::CopiesInput copies = Fmt::parseCopies(NumCopies->text());
    if (!copies.valid)
        return refuseInput(NumCopies, QStringLiteral("\"%1\" is not a number of copies.\nPlease type a whole number, "
                                                     "such as 12, or leave the field empty.")
                                          .arg(NumCopies->text().trimmed()));

    name = RecordName->text();
    r.catalog = Catalog->text();
    r.location = Location->text();
    r.memo1 = Memo1->toPlainText();
    r.pages = Pages->text();
    r.loanedTo = LoanedTo->text();
    r.performTime = PerformTime->text();
    readUserFields(r.u);
    r.datePurchased = DatePurchased->date();
    r.costPerCopy = cost.value;
    r.numCopies = copies.value;
    r.lastPerformed = LastPerformed->date();
    return true;
}
