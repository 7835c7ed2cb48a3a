#pragma once
// Deleting a collection together with its anthems.

#include <QList>
#include <QtGlobal>

// Deletes the collection with the id and everything that belongs to it:
// its row, its links, its performed dates, every anthem of the collection
// with all that refers to that anthem (DeleteAnthemCascade), the schedule
// entries of the collection, and the notes of each date on which a
// deleted entry stood once no entry of any choir, morning or evening, is
// left there. One transaction: on any failure nothing is deleted and the
// DbError reaches the caller. Returns the ids of the anthems deleted. An
// id below 1 names no collection and deletes nothing.
QList<qint32> DeleteCollectionCascade(qint32 collectionId);
