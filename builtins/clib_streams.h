// The table of the streams that scripts open. A script holds a stream as a small handle number,
// never as a native pointer; numbers are not reused, so a closed handle stays invalid.
#pragma once
#include <cstdint>
#include <cstdio>

// Streams that can be open at once; fopen and tmpfile give 0 when all are taken.
constexpr int MAX_STREAMS = 32;

// The open stream behind 'handle', or null when it was never opened or is closed.
std::FILE *stream_of(std::int32_t handle);
// Flushes and closes every open stream (before the process ends).
void close_all_streams();
