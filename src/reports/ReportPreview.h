#pragma once
// The preview of a report document: one page at a time, with page
// navigation (first, previous, page number, next, last) and zoom (whole
// page, page width or a percentage), a text search from a place on a
// page and the scrolling of a found text into view. It draws through
// ReportRenderer, like the PDF writer.

#include "ReportModel.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;
class PreviewCanvas;

class ReportPreview : public QWidget {
    Q_OBJECT
public:
    enum ZoomMode { ZoomPercent, ZoomWholePage, ZoomPageWidth };

    explicit ReportPreview(QWidget *parent = nullptr);
    ~ReportPreview() override;

    void setDocument(const ReportDocument &doc);
    const ReportDocument &document() const;
    int pageCount() const;

    // The page shown, 1-based (0 when the document is empty).
    int previewPage() const;
    void setPreviewPage(int page);

    // Percent of real size (100 = the page at its printed size).
    int zoom() const;
    void setZoom(int percent);
    ZoomMode zoomMode() const;
    void setZoomMode(ZoomMode mode);

    // Searches from a place in the document on; returns where the first
    // hit starts, or a null place. A hit's rectangle is kept for
    // foundRect(); a search without a hit keeps the last one, so what is
    // highlighted stays.
    ReportTextPos find(const QString &text, const ReportTextPos &from);
    QRect foundRect() const; // twips; null before any hit
    // Brings a rectangle of the page shown (twips) into view.
    void scrollIntoView(const QRect &twipsRect);

    // The part of the page shown that is in view, drawn as the user sees
    // it (for tests); null when none of it is in view.
    QImage grabPage() const;

signals:
    void pageChanged(int page);

private:
    void updateControls();
    void zoomChosen(int index);

    ReportDocument m_doc;
    int m_page = 0;
    QRect m_found;
    PreviewCanvas *m_canvas = nullptr;
    QToolButton *m_first = nullptr;
    QToolButton *m_prev = nullptr;
    QToolButton *m_next = nullptr;
    QToolButton *m_last = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageOf = nullptr;
    QComboBox *m_zoomBox = nullptr;
};
