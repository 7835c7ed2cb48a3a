#pragma once
// The current-record object each record editor owns: the id of the record
// it shows and its letter-bar state. Plain stored values, nothing more.

#include <QString>
#include <QtGlobal>

class HXData {
public:
    qint32 CurMember() const { return m_curMember; }
    void setCurMember(qint32 v) { m_curMember = v; }
    qint32 CurAnthem() const { return m_curAnthem; }
    void setCurAnthem(qint32 v) { m_curAnthem = v; }
    qint32 CurCollection() const { return m_curCollection; }
    void setCurCollection(qint32 v) { m_curCollection = v; }
    bool OnExit() const { return m_onExit; }
    void setOnExit(bool v) { m_onExit = v; }
    QString LastRec() const { return m_lastRec; }
    void setLastRec(const QString &v) { m_lastRec = v; }
    bool LoadFirstRec() const { return m_loadFirstRec; }
    void setLoadFirstRec(bool v) { m_loadFirstRec = v; }
    bool CSEnter() const { return m_csEnter; }
    void setCSEnter(bool v) { m_csEnter = v; }
    QString CHKNum() const { return m_chkNum; }
    void setCHKNum(const QString &v) { m_chkNum = v; }
    QString SLetterW() const { return m_sLetterW; }
    void setSLetterW(const QString &v) { m_sLetterW = v; }
    qint16 A_Button() const { return m_aButton; }
    void setA_Button(qint16 v) { m_aButton = v; }
    qint16 P_Button() const { return m_pButton; }
    void setP_Button(qint16 v) { m_pButton = v; }

private:
    qint32 m_curMember = 0;
    qint32 m_curAnthem = 0;
    qint32 m_curCollection = 0;
    bool m_onExit = false;
    QString m_lastRec;
    bool m_loadFirstRec = false;
    bool m_csEnter = false;
    QString m_chkNum;
    QString m_sLetterW;
    qint16 m_aButton = 0;
    qint16 m_pButton = 0;
};

// A window that owns a current-record object lets others read it.
class HXDataHolder {
public:
    virtual ~HXDataHolder() = default;
    virtual HXData &hxData() = 0;
};
