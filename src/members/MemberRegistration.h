#pragma once
// Registers the member report (report kind 3) with the report window and
// the member editor (form code 12) with the form dispatcher.
void registerMemberReport();
