// The decoder process: reads requests from the pipe its command line names, decodes each
// in the portable core and writes the reply, until the program closes the pipe or ends
// the process. Nothing here trusts the file; the program trusts nothing from here.
#include "app/decoder_host_win.h"

#include <cstdlib>
#include <cstring>

#include "app/file_io_win.h"
#include "app/libraries.h"
#include "import/decoder_job.h"

namespace {

// Any crash ends the decoder at once, quietly: the program sees the pipe close.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

BOOL ReadAll(HANDLE pipe, uint8_t* data, size_t size)
{
    uint8_t* bounce = PipeBounceBuffer();
    size_t done = 0;
    while (bounce && done < size) {
        DWORD chunk = (DWORD)(size - done < PipeBounceBytes ? size - done : PipeBounceBytes), got = 0;
        if (!ReadFile(pipe, bounce, chunk, &got, NULL) || got == 0) return FALSE;
        memcpy(data + done, bounce, got);
        done += got;
    }
    return done == size;
}

BOOL WriteAll(HANDLE pipe, const std::vector<uint8_t>& data)
{
    uint8_t* bounce = PipeBounceBuffer();
    size_t done = 0;
    while (bounce && done < data.size()) {
        DWORD chunk = (DWORD)(data.size() - done < PipeBounceBytes ? data.size() - done : PipeBounceBytes);
        memcpy(bounce, data.data() + done, chunk);
        DWORD written = 0;
        if (!WriteFile(pipe, bounce, chunk, &written, NULL) || written == 0) return FALSE;
        done += written;
    }
    return done == data.size();
}

// One request and its reply; FALSE when the pipe is closed or the request is malformed.
BOOL ServeOne(HANDLE pipe)
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
    MappedFile file;
    if (request.size == 0 && MapWholeFile(request.fileName, &file)) {
        request.data = file.data;
        request.size = file.size;
    }
    std::vector<uint8_t> reply = RunDecodeJob(request);
    UnmapWholeFile(&file);
    return WriteAll(pipe, reply);
}

}  // namespace

BOOL RunDecoderIfAsked(const char* commandLine)
{
    const char* at = commandLine ? strstr(commandLine, "/decoder ") : NULL;
    if (!at) return FALSE;
    HANDLE pipe = CreateFileA(at + 9, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (pipe == INVALID_HANDLE_VALUE) return TRUE;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    KeepFreedMemoryForReuse();
    CapDecoderMemory(DecoderMemoryBytes);
    StartLibraries();  // a static FreeImage knows no format until its plugins are registered
    while (ServeOne(pipe)) {
    }
    StopLibraries();
    CloseHandle(pipe);
    return TRUE;
}
