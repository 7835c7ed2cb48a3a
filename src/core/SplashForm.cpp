#include "SplashForm.h"

#include "AppPaths.h"
#include "Prompter.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QVBoxLayout>

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "0.0.0"
#endif

SplashForm::SplashForm(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(appTitle());
    resize(480, 300);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(60, 50, 60, 60);
    auto *title = new QLabel(appTitle(), this);
    title->setObjectName(QStringLiteral("TitleLabel"));
    QFont f = title->font();
    f.setPointSize(24);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addStretch(1);
    layout->addWidget(title);
    m_label = new QLabel(QStringLiteral("Version: "), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
    layout->addStretch(1);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(3000);
    m_timer->setSingleShot(false);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->stop();
        emit timerElapsed();
    });
}

QString SplashForm::versionText()
{
    return QStringLiteral("Version: ") + QLatin1String(VELMORA_VERSION);
}

bool SplashForm::load(QString *error)
{
    applyShape();
    m_timer->start();
    m_label->setText(versionText());
    const QString db = Schema::ensureDatabaseFile(AppPaths::programFolder(), error);
    if (db.isEmpty()) {
        m_timer->stop();
        return false;
    }
    m_databaseFile = db;
    return true;
}

void SplashForm::applyShape()
{
    setMask(QRegion(rect(), QRegion::Ellipse));
}

void SplashForm::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    applyShape();
}

void SplashForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(rect().topLeft(), rect().bottomRight());
    g.setColorAt(0, QColor(0x2d, 0x3e, 0x6e));
    g.setColorAt(1, QColor(0x6a, 0x4c, 0x93));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(rect());
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    for (QLabel *l : findChildren<QLabel *>())
        l->setPalette(pal);
}
