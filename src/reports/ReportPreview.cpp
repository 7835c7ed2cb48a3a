#include "ReportPreview.h"

#include "ReportRenderer.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

// The page area: the page shown at the zoom chosen, on a grey desk. Only
// the part of the page in view is drawn, with some room around it so that
// short scrolls reuse the image: a large page at a high zoom needs no
// more memory than the window shows.
class PreviewCanvas : public QAbstractScrollArea {
public:
    explicit PreviewCanvas(QWidget *parent) : QAbstractScrollArea(parent)
    {
        setObjectName(QStringLiteral("PreviewCanvas"));
        setAccessibleName(QStringLiteral("Report page"));
        viewport()->setBackgroundRole(QPalette::Dark);
        viewport()->setAutoFillBackground(true);
        setFocusPolicy(Qt::StrongFocus);
    }

    const ReportDocument *doc = nullptr;
    int page = 0; // 1-based
    int zoomPercent = 100;
    ReportPreview::ZoomMode mode = ReportPreview::ZoomWholePage;
    QRect highlight; // twips

    static constexpr int Desk = 12; // pixels around the page

    QSize pageTwips() const
    {
        if (!doc || page < 1 || page > doc->pageCount())
            return QSize();
        return doc->page(page - 1).size;
    }

    // Device-independent pixels per twip.
    double scale() const
    {
        const QSize tw = pageTwips();
        if (tw.isEmpty())
            return 1.0;
        const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
        const QSize vp = viewport()->size();
        switch (mode) {
        case ReportPreview::ZoomWholePage:
            return qMax(0.005, qMin(double(vp.width() - 2 * Desk) / tw.width(), double(vp.height() - 2 * Desk) / tw.height()));
        case ReportPreview::ZoomPageWidth:
            return qMax(0.005, double(vp.width() - 2 * Desk - verticalScrollBar()->sizeHint().width()) / tw.width());
        case ReportPreview::ZoomPercent:
            break;
        }
        return zoomPercent / 100.0 * dpi / 1440.0;
    }

    QSize pagePixels() const
    {
        const QSize tw = pageTwips();
        const double s = scale();
        return QSize(qMax(1, int(std::lround(tw.width() * s))), qMax(1, int(std::lround(tw.height() * s))));
    }

    void invalidate()
    {
        m_cache = QImage();
        updateScrollBars();
        viewport()->update();
    }

    // The part of the page in view, in page pixels from its top-left corner.
    QRect visiblePart() const
    {
        const QRect pageRect(QPoint(0, 0), pagePixels());
        return QRect(-pageOrigin(), viewport()->size()).intersected(pageRect);
    }

    // The drawn part of the page that holds what is in view (drawn anew
    // when the view leaves it), and where it lies on the page.
    QImage pageImage(QRect *drawnPart)
    {
        const QSize tw = pageTwips();
        const QRect want = visiblePart();
        if (tw.isEmpty() || want.isEmpty())
            return QImage();
        const QSize px = pagePixels();
        const qreal dpr = devicePixelRatioF();
        const QString key = cacheKey(px, dpr);
        if (m_cache.isNull() || m_cacheKey != key || !m_cachePart.contains(want)) {
            const QSize vp = viewport()->size();
            const QRect part = want.adjusted(-vp.width() / 2, -vp.height() / 2, vp.width() / 2, vp.height() / 2)
                                   .intersected(QRect(QPoint(0, 0), px));
            QImage img(QSize(int(std::ceil(part.width() * dpr)), int(std::ceil(part.height() * dpr))),
                       QImage::Format_ARGB32_Premultiplied);
            img.setDevicePixelRatio(dpr);
            img.fill(Qt::white);
            QPainter p(&img);
            p.translate(-part.topLeft());
            p.scale(double(px.width()) / tw.width(), double(px.height()) / tw.height());
            ReportRenderer::drawPage(p, *doc, page - 1, true);
            p.end();
            m_cache = img;
            m_cachePart = part;
            m_cacheKey = key;
        }
        if (drawnPart)
            *drawnPart = m_cachePart;
        return m_cache;
    }

    // Exactly the part in view, as drawn.
    QImage visibleImage()
    {
        QRect part;
        const QImage img = pageImage(&part);
        if (img.isNull())
            return img;
        const QRect want = visiblePart();
        const qreal dpr = img.devicePixelRatio();
        const QRect src(QPointF((want.topLeft() - part.topLeft()) * dpr).toPoint(),
                        QSizeF(want.size() * dpr).toSize());
        QImage out = img.copy(src);
        out.setDevicePixelRatio(dpr);
        return out;
    }

    QPoint pageOrigin() const
    {
        const QSize px = pagePixels();
        const QSize vp = viewport()->size();
        const int x = px.width() + 2 * Desk < vp.width() ? (vp.width() - px.width()) / 2 : Desk - horizontalScrollBar()->value();
        const int y = px.height() + 2 * Desk < vp.height() ? (vp.height() - px.height()) / 2 : Desk - verticalScrollBar()->value();
        return QPoint(x, y);
    }

    void updateScrollBars()
    {
        const QSize px = pagePixels();
        const QSize vp = viewport()->size();
        horizontalScrollBar()->setRange(0, qMax(0, px.width() + 2 * Desk - vp.width()));
        verticalScrollBar()->setRange(0, qMax(0, px.height() + 2 * Desk - vp.height()));
        horizontalScrollBar()->setPageStep(vp.width());
        verticalScrollBar()->setPageStep(vp.height());
        horizontalScrollBar()->setSingleStep(20);
        verticalScrollBar()->setSingleStep(20);
    }

    // Scrolls so that a rectangle of the page (twips) is in view.
    void ensureVisible(const QRect &tw)
    {
        const double s = scale();
        const QRect r(int(tw.left() * s) + Desk, int(tw.top() * s) + Desk, int(tw.width() * s), int(tw.height() * s));
        const QSize vp = viewport()->size();
        auto fit = [](QScrollBar *bar, int lo, int hi, int extent) {
            if (lo < bar->value())
                bar->setValue(lo);
            else if (hi > bar->value() + extent)
                bar->setValue(qMin(lo, hi - extent));
        };
        fit(horizontalScrollBar(), r.left(), r.right(), vp.width());
        fit(verticalScrollBar(), r.top(), r.bottom(), vp.height());
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(viewport());
        QRect part;
        const QImage img = pageImage(&part);
        if (img.isNull()) {
            if (pageTwips().isEmpty()) {
                p.setPen(palette().color(QPalette::Light));
                p.drawText(viewport()->rect(), Qt::AlignCenter, QStringLiteral("No report"));
            }
            return;
        }
        const QPoint o = pageOrigin();
        const QSize px = pagePixels();
        p.fillRect(QRect(o + QPoint(4, 4), px), QColor(0, 0, 0, 70));
        p.fillRect(QRect(o, px), Qt::white);
        p.drawImage(o + part.topLeft(), img);
        if (!highlight.isNull()) {
            const double s = scale();
            const QRectF h(o.x() + highlight.left() * s, o.y() + highlight.top() * s, highlight.width() * s,
                           highlight.height() * s);
            p.fillRect(h, QColor(255, 200, 0, 90));
            p.setPen(QColor(230, 140, 0));
            p.drawRect(h);
        }
    }

    void resizeEvent(QResizeEvent *e) override
    {
        QAbstractScrollArea::resizeEvent(e);
        if (mode != ReportPreview::ZoomPercent)
            m_cache = QImage();
        updateScrollBars();
    }

    void scrollContentsBy(int, int) override { viewport()->update(); }

private:
    QString cacheKey(const QSize &px, qreal dpr) const
    {
        return QStringLiteral("%1/%2x%3@%4/%5").arg(page).arg(px.width()).arg(px.height()).arg(dpr).arg(quintptr(doc));
    }
    QImage m_cache;
    QRect m_cachePart;
    QString m_cacheKey;
};

namespace {
struct ZoomChoice {
    const char *label;
    ReportPreview::ZoomMode mode;
    int percent;
};
const ZoomChoice zoomChoices[] = {
    {"Whole Page", ReportPreview::ZoomWholePage, 0},
    {"Page Width", ReportPreview::ZoomPageWidth, 0},
    {"50%", ReportPreview::ZoomPercent, 50},
    {"75%", ReportPreview::ZoomPercent, 75},
    {"100%", ReportPreview::ZoomPercent, 100},
    {"150%", ReportPreview::ZoomPercent, 150},
    {"200%", ReportPreview::ZoomPercent, 200},
};
} // namespace

ReportPreview::ReportPreview(QWidget *parent) : QWidget(parent)
{
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    auto tool = [this, bar](const char *name, QStyle::StandardPixmap icon, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    m_first = tool("FirstPageButton", QStyle::SP_MediaSkipBackward, QStringLiteral("First page"));
    m_prev = tool("PreviousPageButton", QStyle::SP_MediaSeekBackward, QStringLiteral("Previous page"));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("PageNumberBox"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setToolTip(QStringLiteral("Page shown"));
    m_pageBox->setAccessibleName(QStringLiteral("Page shown"));
    bar->addWidget(m_pageBox);
    m_pageOf = new QLabel(this);
    m_pageOf->setObjectName(QStringLiteral("PageCountLabel"));
    bar->addWidget(m_pageOf);
    m_next = tool("NextPageButton", QStyle::SP_MediaSeekForward, QStringLiteral("Next page"));
    m_last = tool("LastPageButton", QStyle::SP_MediaSkipForward, QStringLiteral("Last page"));
    bar->addStretch(1);
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    m_zoomBox->setToolTip(QStringLiteral("Zoom"));
    m_zoomBox->setAccessibleName(QStringLiteral("Zoom"));
    for (const ZoomChoice &z : zoomChoices)
        m_zoomBox->addItem(QLatin1String(z.label));
    bar->addWidget(m_zoomBox);

    m_canvas = new PreviewCanvas(this);
    m_canvas->doc = &m_doc;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_canvas, 1);

    connect(m_first, &QToolButton::clicked, this, [this] { setPreviewPage(1); });
    connect(m_prev, &QToolButton::clicked, this, [this] { setPreviewPage(m_page - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { setPreviewPage(m_page + 1); });
    connect(m_last, &QToolButton::clicked, this, [this] { setPreviewPage(pageCount()); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) {
        if (v != m_page && v >= 1)
            setPreviewPage(v);
    });
    connect(m_zoomBox, &QComboBox::activated, this, [this](int i) { zoomChosen(i); });
    updateControls();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::setDocument(const ReportDocument &doc)
{
    m_doc = doc;
    m_page = m_doc.isEmpty() ? 0 : 1;
    m_found = QRect();
    m_canvas->page = m_page;
    m_canvas->highlight = QRect();
    m_canvas->horizontalScrollBar()->setValue(0);
    m_canvas->verticalScrollBar()->setValue(0);
    m_canvas->invalidate();
    updateControls();
    emit pageChanged(m_page);
}

const ReportDocument &ReportPreview::document() const
{
    return m_doc;
}

int ReportPreview::pageCount() const
{
    return m_doc.pageCount();
}

int ReportPreview::previewPage() const
{
    return m_page;
}

void ReportPreview::setPreviewPage(int page)
{
    if (m_doc.isEmpty())
        return;
    page = qBound(1, page, pageCount());
    if (page == m_page)
        return;
    m_page = page;
    m_canvas->page = page;
    m_canvas->highlight = QRect();
    m_canvas->verticalScrollBar()->setValue(0);
    m_canvas->invalidate();
    updateControls();
    emit pageChanged(m_page);
}

int ReportPreview::zoom() const
{
    if (m_canvas->mode == ZoomPercent)
        return m_canvas->zoomPercent;
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    return int(std::lround(m_canvas->scale() * 1440.0 / dpi * 100.0));
}

void ReportPreview::setZoom(int percent)
{
    m_canvas->mode = ZoomPercent;
    m_canvas->zoomPercent = qBound(10, percent, 400);
    m_canvas->invalidate();
    updateControls();
}

ReportPreview::ZoomMode ReportPreview::zoomMode() const
{
    return m_canvas->mode;
}

void ReportPreview::setZoomMode(ZoomMode mode)
{
    m_canvas->mode = mode;
    m_canvas->invalidate();
    updateControls();
}

void ReportPreview::zoomChosen(int index)
{
    if (index < 0)
        return;
    if (index >= int(std::size(zoomChoices))) {
        // A percentage set by the program and added to the list.
        setZoom(m_zoomBox->itemText(index).remove(QLatin1Char('%')).toInt());
        return;
    }
    const ZoomChoice &z = zoomChoices[index];
    if (z.mode == ZoomPercent)
        setZoom(z.percent);
    else
        setZoomMode(z.mode);
}

ReportTextPos ReportPreview::find(const QString &text, const ReportTextPos &from)
{
    QRect hit;
    const ReportTextPos at = m_doc.find(text, from, &hit);
    if (!at.isNull())
        m_found = hit;
    return at;
}

QRect ReportPreview::foundRect() const
{
    return m_found;
}

void ReportPreview::scrollIntoView(const QRect &twipsRect)
{
    m_canvas->highlight = m_found.isNull() ? QRect() : m_found;
    m_canvas->updateScrollBars();
    m_canvas->ensureVisible(twipsRect);
}

QImage ReportPreview::grabPage() const
{
    return m_canvas->visibleImage();
}

void ReportPreview::updateControls()
{
    const int n = pageCount();
    m_first->setEnabled(m_page > 1);
    m_prev->setEnabled(m_page > 1);
    m_next->setEnabled(m_page < n);
    m_last->setEnabled(m_page < n);
    m_pageBox->blockSignals(true);
    m_pageBox->setRange(n > 0 ? 1 : 0, qMax(0, n));
    m_pageBox->setValue(m_page);
    m_pageBox->setEnabled(n > 1);
    m_pageBox->blockSignals(false);
    m_pageOf->setText(QStringLiteral("of %1").arg(n));
    int index = -1;
    for (int i = 0; i < int(std::size(zoomChoices)); ++i) {
        const ZoomChoice &z = zoomChoices[i];
        if (z.mode == m_canvas->mode && (z.mode != ZoomPercent || z.percent == m_canvas->zoomPercent))
            index = i;
    }
    if (index < 0 && m_canvas->mode == ZoomPercent) {
        const QString label = QStringLiteral("%1%").arg(m_canvas->zoomPercent);
        index = m_zoomBox->findText(label);
        if (index < 0) {
            m_zoomBox->addItem(label);
            index = m_zoomBox->count() - 1;
        }
    }
    m_zoomBox->setCurrentIndex(index);
}
