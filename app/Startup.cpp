#include "app/Startup.h"

#include <cstdio>

namespace Startup {

int main(int, char**)
{
    std::fprintf(stderr, "quorvane-lt: not ready yet\n");
    return 1;
}

}  // namespace Startup
