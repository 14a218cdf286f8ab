// The whole file layer in one include: the error value (IoResult.h), byte sources for the readers
// (ByteSource.h), safe writing (SafeWrite.h) and paths (Paths.h). Code that needs only one of them
// includes that one.
#pragma once

#include "audio/ByteSource.h"
#include "audio/IoResult.h"
#include "audio/Paths.h"
#include "audio/SafeWrite.h"
