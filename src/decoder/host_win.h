// Decoder processes: every picture file is decoded in a separate process (this program
// started with "/decoder"), so a file that crashes, hangs or exhausts FreeImage takes
// only that process with it. The program sends the file's name and plan through a pipe
// that only that process can open, the decoder reads the file itself, and the program
// waits for the reply with a time limit, handling its window messages meanwhile; a
// decoder that dies, overruns or answers nonsense is ended, its file counts as
// unreadable, and the next request starts a new one. Decoders stay up between files
// and run side by side: while one works on a file, the next one goes to the other.
#pragma once
#include <cstdint>
#include <vector>

#include "model/types.h"
#include "platform/win32.h"
#include "decoder/protocol.h"

enum { DecoderCount = 2 };

// Time a decoder has for one file, counted from the moment the program starts waiting
// for it: first to read the file (a slow disk or share), then to decode it.
enum : DWORD {
    FileReadTimeLimitMs = 120000,
    ThumbnailTimeLimitMs = 6000,
    PageTimeLimitMs = 20000,
    FullQualityPageTimeLimitMs = 60000,  // full-size pictures at the highest quality
};

// Memory one decoder process may commit (job object, and an address-space cap inside it).
enum : uint64_t { DecoderMemoryBytes = 1536ull << 20 };

// Pipe reads and writes go through this buffer of PipeBounceBytes from VirtualAlloc (null
// when none could be had): under Wine, reading a pipe into memory from the C++ heap of
// the Linux side fails (ERROR_INVALID_USER_BUFFER).
enum : DWORD { PipeBounceBytes = 1u << 20 };
uint8_t* PipeBounceBuffer();

// Sends decoder `slot` the job of reading the file at path (UTF-8) for a thumbnail of
// thumbnailSide, or for a page picture planned by plan, starting the process first when it
// is not running; decodeLimitMs is the time its decoding may take; leaveInFile as in
// EncodeRequest. FALSE when no decoder could be started or it did not take the job; the
// decoder is then ended.
BOOL SendDecodeJob(int slot, DecodeJobKind kind, const char* path, const PagePlan& plan,
                   DWORD decodeLimitMs, int thumbnailSide = ThumbnailSize,
                   bool leaveInFile = false);

// What became of a request.
enum DecodeOutcome {
    Decoded,           // *body holds the reply's body
    DecodeUnreadableFile,  // not a picture the program reads, or its decoder failed on it
    DecodeTooSlow,     // reading or decoding the file took longer than its limit
    DecodeCancelled,   // waits were stopped meanwhile
    DecodeNoMemory,    // the program had no memory for the reply
};
// Every wait for a decoder handles the program's messages meanwhile (the message loop's
// pump), and ends at once when `event` is signalled (the running operation's Cancel) or
// the pump has taken the quit message.
void StopDecoderWaitsOn(HANDLE event);

// Waits for the reply to the request last sent to `slot`; once waits have been stopped,
// waits for nothing. Any outcome but Decoded and DecodeUnreadableFile ends
// the decoder. *inFile (when given): the reply is a page picture left in its file.
DecodeOutcome ReceiveDecodeReply(int slot, DecodeJobKind kind, std::vector<uint8_t>* body,
                                 bool* inFile = nullptr);

// The most memory the decoder of `slot` has held (its peak working set); 0 when it is not
// running or cannot tell.
SIZE_T DecoderPeakBytes(int slot);
// Above this a decoder is too big to have a second one work beside it.
enum : SIZE_T { SharedDecoderPeakBytes = 72u << 20 };

// TRUE while `slot` has a request whose reply has not been read.
BOOL DecoderBusy(int slot);
// Ends the decoder process of `slot`, if any (a busy one loses its request).
void EndDecoder(int slot);
// Ends the decoders whose replies nobody will read (after a Cancel or a failure).
void EndBusyDecoders();
// Ends every decoder: the program is closing (a decoder outside the job would outlive it).
void EndAllDecoders();

// A decoder proves it is the one the program started by sending first the secret of
// this many hex digits that its command line gave it.
enum { DecoderSecretChars = 32 };

// The decoder's own entry: when the command line asks for a decoder, serves requests on
// the pipe it names until the program closes it, and returns TRUE (the process then
// exits). FALSE for any other command line.
BOOL RunDecoderIfAsked(const char* commandLine);

// The environment variable that slows decoders down, for tests of what happens while the
// program waits: each decoder waits this many milliseconds before it connects and before
// it reads each file, like one on a slow disk.
#define DECODER_DELAY_VARIABLE "TOLVANE_DECODER_DELAY_MS"
