// The contract header needs nothing defined out of line; compiling it here on its own keeps it
// self-contained (it must not lean on whatever a user includes before it).
#include "flashhost/ShockwaveFlash.h"
