// A decoder process's work on one request: the thumbnail or the page picture of the file
// it carries, as a whole reply to write back.
#pragma once
#include <cstdint>
#include <vector>

#include "decoder/protocol.h"

std::vector<uint8_t> RunDecodeJob(const DecodeRequest& request);

// Caps the address space this process may take on top of what it holds now, so that a
// file asking for gigabytes gets an allocation failure (caught, reported as unreadable)
// instead of the machine's memory. Linux (Wine) only; on Windows the program's job
// object limits the decoder. False when no cap could be set.
bool CapDecoderMemory(uint64_t extraBytes);

// Keeps the memory a picture freed for the next one instead of handing it back: a
// decoder's bitmaps would otherwise come from fresh mappings each time, and under Wine
// on Linux the kernel zeroing their pages on first touch took a third of a decode.
// The peak stays the same. Linux (Wine) only; a no-op elsewhere.
void KeepFreedMemoryForReuse();
