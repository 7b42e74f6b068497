#include "app/LumoskopStart.h"

int main(int argc, char *argv[])
{
    return runLumoskop(argc, argv);
}
