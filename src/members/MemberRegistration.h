#pragma once
// Registers the member report (report kind 3) with the report window.
void registerMemberReport();
