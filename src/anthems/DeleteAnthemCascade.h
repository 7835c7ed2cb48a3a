#pragma once
#include <QtGlobal>

// Deletes an anthem with everything that refers to it: its links, its
// performed dates, its schedule entries and the notes of the dates left
// without any entry. One transaction: on failure nothing is deleted and
// the DbError reaches the caller, which tells the user.
void DeleteAnthemCascade(qint32 anthemId);
