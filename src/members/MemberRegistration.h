#pragma once
// Registers the member editor (form code 12) and the member viewer (form
// code 13) with the form dispatcher and the member report (report kind 3)
// with the report window.
void registerMemberReport();
