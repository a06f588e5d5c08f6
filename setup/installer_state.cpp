#include "setup/installer_state.h"

installer_state state;
