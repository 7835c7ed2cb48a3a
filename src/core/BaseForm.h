#pragma once
// Base of every child window: its constructor is its load, its close
// handler its unload. The unload runs once, while the database is still
// open; Qt deletes the window later.

#include <QWidget>
#include <functional>

class BaseForm : public QWidget {
    Q_OBJECT
public:
    // loadedFlag: the window-open flag this window keeps, or nullptr.
    explicit BaseForm(bool *loadedFlag = nullptr, QWidget *parent = nullptr);
    ~BaseForm() override;

    bool isUnloaded() const { return m_unloaded; }

    // Asks what the window must ask before it closes; false when the user
    // keeps it open. The main window asks every window before it closes
    // any, so the close that follows an agreement asks nothing again.
    bool agreeToClose();
    // The shut-down was called off: a later close asks again.
    void withdrawCloseAgreement() { m_closeAgreed = false; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // What the window asks before it closes (its unsaved input); false
    // keeps it open.
    virtual bool queryClose() { return true; }
    // The window's own unload work (closing record sets and the like).
    virtual void unloadForm() {}
    // Before input not stored is dropped: the window comes to the front
    // and asks the question (Yes/No/Cancel). Yes: what save() answers
    // (false keeps the input, the failure shown); No: true; Cancel: false.
    bool askToSave(const QString &question, const QString &title, const std::function<bool()> &save);

private:
    void finishUnload();
    bool *m_flag = nullptr;
    bool m_unloaded = false;
    bool m_closeAgreed = false;
};
