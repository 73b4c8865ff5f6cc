#pragma once
// RapidJSON for the units that read and write JSON. RapidJSON 1.1's internal
// stack computes "null + n" before its first allocation; that is harmless but
// undefined, and the sanitizer build stops on it, so only that check is switched
// off for RapidJSON's own functions. (Its full-precision number reader is not
// used: hostile numbers drive it into undefined arithmetic.) Every unit must
// include RapidJSON through here: the linker keeps one copy of each of its
// inline functions, from whichever unit it likes.

#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("pointer-overflow"))), apply_to = function)
#endif
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#if defined(__clang__)
#pragma clang attribute pop
#endif
