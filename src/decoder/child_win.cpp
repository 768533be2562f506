// The decoder process: opens the pipe its command line names, proves itself with the
// secret it was given, then reads requests, decodes each in the portable core and writes
// the reply, until the program closes the pipe or ends the process.
// Nothing here trusts the file; the program trusts nothing from here.
#include "decoder/host_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_io_win.h"
#include "picture/libraries.h"
#include "decoder/job.h"

namespace {

const DWORD ConnectLimitMs = 15000;  // the program's own wait for a decoder to start

// Any crash ends the decoder at once, quietly: the program sees the pipe close.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

BOOL ReadAll(HANDLE pipe, uint8_t* data, size_t size)
{
    uint8_t* bounce = PipeBounceBuffer();
    return bounce && ReadFully(pipe, data, size, bounce, PipeBounceBytes);
}

BOOL WriteAll(HANDLE pipe, const std::vector<uint8_t>& data)
{
    uint8_t* bounce = PipeBounceBuffer();
    return bounce && WriteFully(pipe, data.data(), data.size(), bounce, PipeBounceBytes);
}

// Tests slow the decoder down to see what the program does while it waits.
DWORD TestDelayMs()
{
    const char* text = getenv(DECODER_DELAY_VARIABLE);
    return text ? (DWORD)strtoul(text, NULL, 10) : 0;
}

// The pipe is busy while the program turns away another process that opened it first:
// the decoder tries again until the program would stop waiting for it.
HANDLE OpenPipe(const char* name)
{
    const DWORD startedAt = GetTickCount();
    for (;;) {
        HANDLE pipe = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                  SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, NULL);
        if (pipe != INVALID_HANDLE_VALUE || GetTickCount() - startedAt > ConnectLimitMs)
            return pipe;
        Sleep(20);
    }
}

// Reads every page of the mapped file now, so that a slow disk counts as reading time
// and not as decoding time.
void ReadInEveryPage(const MappedFile& file)
{
    volatile uint8_t sum = 0;
    for (size_t at = 0; at < file.Size(); at += 4096) sum += file.Data()[at];
}

// One request and its reply; FALSE when the pipe is closed or the request is malformed.
BOOL ServeOne(HANDLE pipe, DWORD delayMs)
{
    uint8_t header[FrameHeaderBytes];
    DecodeJobKind kind;
    uint64_t length;
    if (!ReadAll(pipe, header, sizeof header) || !ReadRequestHeader(header, &kind, &length))
        return FALSE;
    std::vector<uint8_t> body;
    try {
        body.resize((size_t)length);
    } catch (...) {
        return FALSE;
    }
    DecodeRequest request;
    if (!ReadAll(pipe, body.data(), body.size()) ||
        !ParseRequestBody(kind, body.data(), body.size(), &request))
        return FALSE;
    // A request without the file's bytes names the file: it is mapped here, which spares
    // the program copying it through the pipe. An unreadable file decodes as nothing.
    Sleep(delayMs);
    std::vector<uint8_t> reply;
    {
        MappedFile file;
        if (file.Map(request.fileName)) {
            ReadInEveryPage(file);
            request.data = file.Data();
            request.size = file.Size();
        }
        if (!WriteAll(pipe, EncodeFileReadNotice())) return FALSE;
        reply = RunDecodeJob(request);
    }  // the file is unmapped before the reply goes
    return WriteAll(pipe, reply);
}

}  // namespace

BOOL RunDecoderIfAsked(const char* commandLine)
{
    const char* at = commandLine ? strstr(commandLine, "/decoder ") : NULL;
    if (!at) return FALSE;
    char pipeName[128], secret[DecoderSecretChars + 1];
    if (sscanf(at + 9, "%127s %32s", pipeName, secret) != 2 || strlen(secret) != DecoderSecretChars)
        return TRUE;
    // One thread only: under Wine a crash in a process with a second thread no longer ends
    // it at once.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    const DWORD delayMs = TestDelayMs();
    Sleep(delayMs);
    ScopedHandle pipe(OpenPipe(pipeName));
    if (!pipe.Valid()) return TRUE;
    if (WriteAll(pipe.Get(), std::vector<uint8_t>(secret, secret + DecoderSecretChars))) {
        KeepFreedMemoryForReuse();
        CapDecoderMemory(DecoderMemoryBytes);
        StartPictureLibrary();  // a static FreeImage knows no format until its plugins are registered
        while (ServeOne(pipe.Get(), delayMs)) {
        }
        StopPictureLibrary();
    }
    return TRUE;
}
