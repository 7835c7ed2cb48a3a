#pragma once
// The anthem report (report kind 2): one block of captioned lines per
// anthem the anthem viewer lists, in its order, with the composers,
// orchestration, vocalizations, themes, choirs and "My Data" fields as
// the report window's six options ask.

class ReportPrinter;

// The report window's options DCheck1..DCheck6, all ticked, placed in its
// option area, followed by the export options. Run by the window's load.
void SetupAnthemReportOptions();

// Draws the report on the report window's printer: the anthems whose ids
// the viewer left in hx().ReportAnthemSet, read afresh by id (an anthem
// deleted since is left out). Without a report window every option
// counts as ticked. Database errors reach the caller.
void PrintAnthemReport(ReportPrinter &printer);
