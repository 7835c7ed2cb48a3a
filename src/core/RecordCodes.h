#pragma once
// The numbers the record windows share, named once: which kind of record
// a window keeps, the owner codes of the check-list grids, the "My Data"
// datatypes and the record toolbar's buttons.

// The three kinds of record. The same number is the kind's owner code in
// the check-list grids, its datatype in the labels table and its report
// kind (1 collections, 2 anthems, 3 members).
enum class RecordKind { Collection = 1, Anthem = 2, Member = 3 };

namespace CheckGridOwner {
// Refill from the reference table, mark nothing.
constexpr int RefillOnly = 0;
// Refill, then mark the links of a record of the kind.
constexpr int refillAndMark(RecordKind kind) { return int(kind); }
// Keep the rows, clear the marks and mark the links of a record again.
constexpr int markOnly(RecordKind kind) { return -int(kind); }
} // namespace CheckGridOwner

// The labels row ("My Data" captions) of a kind of record.
constexpr int myDataType(RecordKind kind) { return int(kind); }

// The record toolbar's buttons by index.
namespace RecordButton {
enum : int { Add = 1, Cancel, Save, Delete, First, Previous, Next, Last, Separator, Schedule };
} // namespace RecordButton
