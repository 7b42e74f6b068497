#include "early/ProgramStart.h"

int main(int argc, char *argv[])
{
    return startLumoskop(argc, argv);
}
