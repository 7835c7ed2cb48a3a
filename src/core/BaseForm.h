#pragma once
// Base of every child window: its constructor is its load, its close
// handler its unload. The unload runs once, while the database is still
// open; Qt deletes the window later.

#include <QWidget>

class BaseForm : public QWidget {
    Q_OBJECT
public:
    // loadedFlag: the window-open flag this window keeps, or nullptr.
    explicit BaseForm(bool *loadedFlag = nullptr, QWidget *parent = nullptr);
    ~BaseForm() override;

    bool isUnloaded() const { return m_unloaded; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // The window's own unload work (closing record sets and the like).
    virtual void unloadForm() {}

private:
    void finishUnload();
    bool *m_flag = nullptr;
    bool m_unloaded = false;
};
