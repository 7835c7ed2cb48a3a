#pragma once
// The names screen readers hear for the program's lists. Qt's own
// interface for a drop-down list gives, on this platform, the item shown
// as the list's name, so a list labelled "State" is heard as "AK" (or as
// nothing while its blank item shows). Ours names it as every other field
// is named: by its accessible name, else by the caption whose buddy it
// is; the item shown stays its value. Only a list with neither is heard
// by the item it shows, as before.

// Installs the interface; once, after the QApplication exists (the
// widgets' own interfaces are installed with it, and the last installed
// is asked first).
void installAccessibleNames();
