#pragma once
// Registers the collections report (report kind 1) with the report window
// and the collection windows with the form dispatcher (the editor, form
// code 1, and the viewer, form code 3).
void registerCollectionReport();
