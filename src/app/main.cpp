#include "start/Launch.h"

int main(int argc, char *argv[])
{
    return launchLumoskop(argc, argv);
}
