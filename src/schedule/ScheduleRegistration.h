#pragma once
// Registers the schedule windows: the schedule viewer (form code 5), the
// choir schedule report (report kind 4), and the entry and
// performed-dates dialogs the record editors open through RecordDialogs.
void registerScheduleWindows();
