#pragma once

// The program: Chinese texts and the CJK font, the splash window, the main
// window, the connection named in Server.txt, the login, then the main
// window's message loop until the exit question is answered Yes.
int runBrevia(int argc, char **argv);
