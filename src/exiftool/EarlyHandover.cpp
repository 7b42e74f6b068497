#include "exiftool/EarlyHandover.h"

#include <unistd.h>

void EarlyHandover::end()
{
    run.end();
    if (keeperFd >= 0)
        ::close(keeperFd);
    keeperFd = -1;
}
