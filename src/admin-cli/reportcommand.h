#pragma once

// brevia-admin report NAME --pdf OUT [--db PATH|URI]: a shipped template to
// a PDF over its dataset in full, without a window. Runs its own
// application object, since painting text needs a GUI one.
int reportCommand(int argc, char **argv);
