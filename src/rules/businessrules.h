#pragma once

class TdmMain;

// Installs the rules of every subsystem's tables on the data module, so
// they hold on every dataset and every path. Installing again does
// nothing; the program does it at start and every window that edits
// records makes sure of it.
void installBusinessRules(TdmMain &dm);
// The same on the program's data module, when there is one.
void ensureBusinessRules();
