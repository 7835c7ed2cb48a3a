#pragma once
// The start form: an elliptical window with the version, which makes sure
// the database file exists and after three seconds shows the main window.

#include <QWidget>

class QLabel;
class QTimer;

class SplashForm : public QWidget {
    Q_OBJECT
public:
    explicit SplashForm(QWidget *parent = nullptr);

    // The load: shape, timer, version and the database file. False (with
    // *error) when no database exists and none can be made.
    bool load(QString *error);
    // The database file the load found or made.
    QString databaseFile() const { return m_databaseFile; }

    QTimer *timer() const { return m_timer; }
    static QString versionText();

signals:
    // Timer1's tick: the main window is to be shown now.
    void timerElapsed();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void applyShape();
    QLabel *m_label = nullptr;
    QTimer *m_timer = nullptr;
    QString m_databaseFile;
};
