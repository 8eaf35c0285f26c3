// The host's byte streams for the state. Either side may move fewer bytes than asked for,
// so both loop; a host's stream is never trusted with more than it was asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/clap/ClapAbi.h"

// Everything up to the stream's end into `bytes`. False, with `bytes` empty, on a read error,
// a read that claims more than was asked for, or more than `limit` bytes in all.
bool ReadWholeStream(const clap_istream_t* stream, std::vector<uint8_t>& bytes, size_t limit);
// All `size` bytes; false on an error or a stream that takes nothing.
bool WriteWholeStream(const clap_ostream_t* stream, const void* bytes, size_t size);
