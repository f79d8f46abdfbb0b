#include "app/application.h"

int main(int argc, char **argv)
{
    return runBrevia(argc, argv);
}
