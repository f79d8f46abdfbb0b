#pragma once

// The program: Chinese texts, the CJK font, the database named in
// Server.txt, then the windows.
int runBrevia(int argc, char **argv);
