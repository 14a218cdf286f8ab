// The lookup interface has signals: this unit gives them their generated code.
#include "core/lookup/LookupSource.h"
