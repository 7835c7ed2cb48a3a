#pragma once
// The limit controls the anthem and member viewers share, and how they
// answer the user's clicks:
// - "Display All ..." (AllCheck): ticked at opening; ticked by the user it
//   unticks every limit box and leaves the list grids and their buttons
//   enabled or disabled as they were;
// - the limit boxes optLimit<i>: after the user's click AllCheck is ticked
//   exactly when no limit box is; a list limit's grid and its buttons
//   "Select All" (btnCheckAll<i>) and "Clear Selections" (btnClearAll<i>)
//   are enabled exactly while its box is ticked (disabled at opening);
// - a click on a list grid flips the box of the clicked row: the name's
//   box, or on a grid that toggles the clicked column (the member choir
//   grid) the box of that column, its "Active" box included;
// - the text lists of the "My Data" and month limits: typing allowed,
//   nothing typed is added to the list or completed from it, and the text
//   starts empty;
// - the Process buttons btnProcess<i>, which all do the same.
// Boxes the program sets run nothing: only the user's own clicks do.

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class CheckListGrid;
class QCheckBox;
class QComboBox;
class QPushButton;
class QWidget;

class LimitPanel : public QObject {
    Q_OBJECT
public:
    explicit LimitPanel(QObject *parent = nullptr);

    // How a click on a list grid is taken.
    enum class GridClicks { NameBox, ClickedColumn };

    struct ListLimit {
        QCheckBox *box = nullptr;
        CheckListGrid *grid = nullptr;
        QPushButton *checkAll = nullptr;
        QPushButton *clearAll = nullptr;
    };

    // The controls, created on the page; the caller lays them out.
    QCheckBox *addAllCheck(const QString &caption, QWidget *page);
    ListLimit addListLimit(int index, const QString &caption, const QString &gridName, QWidget *page,
                           GridClicks clicks = GridClicks::NameBox);
    QCheckBox *addLimit(int index, const QString &caption, QWidget *page);
    // The text list that goes with the limit box of the index.
    QComboBox *addTextList(int index, const QString &objectName, QWidget *page);
    QPushButton *addProcessButton(int index, const QString &caption, QWidget *page);

    // After the lists were filled (LoadLimitByOptions): every text list
    // shows an empty text, and is named after its box's caption.
    void resetTextLists();

    QCheckBox *allCheck() const { return m_allCheck; }
    bool displayAll() const;
    QCheckBox *box(int index) const { return m_boxes.value(index); }
    bool isTicked(int index) const;
    CheckListGrid *grid(int index) const { return m_lists.value(index).grid; }
    QComboBox *textList(int index) const { return m_texts.value(index); }
    // The text of a limit's list as the user left it.
    QString text(int index) const;
    // The list limits' grids, by index.
    QList<CheckListGrid *> grids() const;

signals:
    // One of the Process buttons was clicked.
    void processClicked();

private:
    void limitClicked(int index);
    void allCheckClicked();

    QCheckBox *m_allCheck = nullptr;
    QMap<int, QCheckBox *> m_boxes;
    QMap<int, ListLimit> m_lists;
    QMap<int, QComboBox *> m_texts;
};
