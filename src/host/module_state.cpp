#include "host/module_state.h"

ModuleState moduleState;
