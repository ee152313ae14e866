// The table of the streams that scripts open. A script holds a stream as a small handle number,
// never as a native pointer; numbers are not reused, so a closed handle stays invalid.
#pragma once
#include <cstdint>
#include <cstdio>

// Streams that can be open at once; fopen and tmpfile give 0 when all are taken.
constexpr int MAX_STREAMS = 32;

// The open stream behind 'handle', or null when it was never opened or is closed; for a use that
// neither reads nor writes (feof, ftell).
std::FILE *stream_of(std::int32_t handle);
// The stream for a read or a write: null also when its mode does not go that way. A read after a
// write is preceded by a flush, a write after a read by a seek to where the stream stands.
std::FILE *stream_for_reading(std::int32_t handle);
std::FILE *stream_for_writing(std::int32_t handle);
// Flushes and closes every open stream (before the process ends).
void close_all_streams();
