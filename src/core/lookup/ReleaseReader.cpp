// Gives the reader interface its meta-object (moc finds the header through this file).
#include "core/lookup/ReleaseReader.h"
