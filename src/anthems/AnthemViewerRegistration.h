#pragma once
// Registers the anthem viewer (form code 4) with the form dispatcher and
// the anthem report (report kind 2) with the report window.
void registerAnthemViewerAndReport();
