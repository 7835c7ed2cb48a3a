#pragma once
// Registers every window the program has with the form dispatcher and the
// report window, and the names screen readers hear for its lists; once the
// QApplication exists.
void registerAllForms();
