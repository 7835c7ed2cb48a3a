#pragma once
// Registers every window the program has with the form dispatcher and the
// report window.
void registerAllForms();
