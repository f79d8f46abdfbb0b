#pragma once

class TdmMain;

// Installs the rules of every subsystem's tables on the data module, so
// they hold on every dataset and every path. Installing again does
// nothing.
void installBusinessRules(TdmMain &dm);
// Every data module made from now on in this process installs them as it
// is made: what the program, brevia-admin and the test main call first.
void installBusinessRulesOnNewModules();
