// A program built on the windowless composing library alone: the portrait
// command, as `vuplora portrait` runs it.
#include "compose/untVuploraHeadless.h"

int main(int argc, char **argv)
{
    return RunPortraitCommand(argc, argv);
}
