#pragma once

#include <functional>
// Adding a reference value from a record editor, and refreshing every open
// window that lists a kind of reference value after it changed.
//
// A refresh refills the kind's list window and the check-list grids of the
// open editors and viewers. The ticks a user has set in those grids and not
// yet saved survive it (matched by id): an entry that is gone drops out, a
// new entry comes in unticked. Closed windows are never created.

// Each asks for a new value in an input box, refuses one that is already
// in the list (case ignored) and otherwise stores it and refreshes every
// open window that lists it. True when a value was stored.
bool AddNewVocalization();
bool AddNewComposer();
bool AddNewTheme();
bool AddNewOrchestration();

// Refills the list window of the kind and the matching check-list grids of
// the open collection, anthem and member editors and viewers.
void RefreshVocalsLists();
void RefreshComposerLists();
void RefreshThemeLists();
void RefreshOrchestrationLists();
// Choirs: the choir list and every open editor's and viewer's choir grid
// (the member windows' with their "Active" column).
void RefreshChoirLists();
// Member sections: the section list and the member windows' section grids.
void ReloadSectionLists();
// Cities, zip codes or schools: the member editor's lists, and the member
// it shows (whose city may have been renamed), through the editor's gate
// for reloads caused elsewhere.
void RefreshAddressLists();

// Runs a refresh that follows a change already stored: a failure says the
// change was saved but the lists could not be brought up to date.
void RefreshAfterSavedChange(const std::function<void()> &work);
