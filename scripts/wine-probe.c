/* The smallest Windows program: the scripts start it under Wine to learn whether this host
   runs 32-bit Windows programs at all (some kernels refuse 32-bit processes). */
#include <stdio.h>

int main(void)
{
    puts("velmora-wine-probe");
    return 0;
}
