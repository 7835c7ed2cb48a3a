#pragma once
// How a window learns that data it shows changed elsewhere. The window
// that stores or deletes a record announces it here once the change is
// committed; every open window that shows such data connects to the
// signals it cares about and decides itself whether it must refresh
// (for example only when it shows the collection concerned). Signals are
// delivered at once, on the user-interface thread, in connection order.
//
// Nothing here reaches a window by name: a renamed routine is caught by
// the compiler, and a library never needs to link a higher one to tell it
// of a change.

#include <QObject>
#include <QtGlobal>

class ChangeNotifier : public QObject {
    Q_OBJECT
public:
    static ChangeNotifier &instance();

signals:
    // An anthem was saved (added or changed). collectionId is the
    // collection it belongs to now, previousCollectionId the one it
    // belonged to before the save (0 for none, or when it was new).
    void anthemStored(qint32 anthemId, qint32 collectionId, qint32 previousCollectionId);
    // An anthem was deleted with everything that refers to it.
    void anthemDeleted(qint32 anthemId, qint32 collectionId);

    // A collection was saved. loanedToChanged: its loaned-to text was
    // copied into its anthems.
    void collectionStored(qint32 collectionId, bool loanedToChanged);
    // A collection was deleted together with its anthems.
    void collectionDeleted(qint32 collectionId);

    // A member was saved or deleted.
    void memberStored(qint32 memberId);
    void memberDeleted(qint32 memberId);

    // Schedule entries (or their notes) were added, changed or removed.
    // choirId is the choir concerned, or 0 when entries of any choir may
    // have changed (a deletion cascade).
    void scheduleChanged(qint32 choirId);

private:
    ChangeNotifier() = default;
};

// Short forms for the window that made the change.
namespace Notify {
inline void anthemStored(qint32 id, qint32 collection, qint32 previousCollection)
{
    emit ChangeNotifier::instance().anthemStored(id, collection, previousCollection);
}
inline void anthemDeleted(qint32 id, qint32 collection)
{
    emit ChangeNotifier::instance().anthemDeleted(id, collection);
}
inline void collectionStored(qint32 id, bool loanedToChanged)
{
    emit ChangeNotifier::instance().collectionStored(id, loanedToChanged);
}
inline void collectionDeleted(qint32 id) { emit ChangeNotifier::instance().collectionDeleted(id); }
inline void memberStored(qint32 id) { emit ChangeNotifier::instance().memberStored(id); }
inline void memberDeleted(qint32 id) { emit ChangeNotifier::instance().memberDeleted(id); }
inline void scheduleChanged(qint32 choirId) { emit ChangeNotifier::instance().scheduleChanged(choirId); }
} // namespace Notify
