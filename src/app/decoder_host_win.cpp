// The program's side of the decoder processes: starting them inside one job object,
// the pipes, and every wait with its deadline and the message pump.
#include "app/decoder_host_win.h"

#include <psapi.h>

#include <cstdio>

#include "app/progress_win.h"

namespace {

struct Decoder {
    HANDLE process = NULL;
    HANDLE pipe = INVALID_HANDLE_VALUE;  // the program's end, overlapped
    BOOL busy = FALSE;                   // a request was sent whose reply is unread
    DWORD sentAt = 0, limitMs = 0;       // GetTickCount at the send, time allowed
};

Decoder Decoders[DecoderCount];
HANDLE DecoderJob = NULL;  // every decoder runs in it and ends with the program
LONG PipeCounter = 0;
const DWORD DecoderStartLimitMs = 15000;  // a Wine process can take seconds to start

// One job for all decoders: memory limited per process, and closed with the program,
// which ends them all. A crash in a decoder ends that decoder without an error box.
HANDLE DecoderJobObject()
{
    if (DecoderJob) return DecoderJob;
    DecoderJob = CreateJobObjectA(NULL, NULL);
    if (!DecoderJob) return NULL;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                              JOB_OBJECT_LIMIT_PROCESS_MEMORY |
                                              JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    limits.ProcessMemoryLimit = (SIZE_T)DecoderMemoryBytes;
    // Wine stores the limits without enforcing the memory one; the decoder caps itself too.
    SetInformationJobObject(DecoderJob, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return DecoderJob;
}

void CloseDecoderHandles(Decoder& d)
{
    if (d.pipe != INVALID_HANDLE_VALUE) CloseHandle(d.pipe);
    if (d.process) CloseHandle(d.process);
    d = Decoder();
}

// Waits up to timeoutMs for an overlapped operation, handling window messages meanwhile.
// FALSE unless it completed; it is then cancelled.
BOOL AwaitOverlapped(HANDLE file, OVERLAPPED* overlapped, HANDLE process, DWORD startedAt,
                     DWORD timeoutMs, DWORD* transferred);

// The decoder opens the pipe by the name on its command line (under Wine the program may
// start it through a launcher, which passes no handles on). The pipe tells which process
// connected: that one is the decoder, whatever process CreateProcess reported.
BOOL StartDecoder(Decoder& d)
{
    // The Unicode form: the program may sit in a folder outside the system code page.
    WCHAR program[MaxPathChars];
    DWORD length = GetModuleFileNameW(NULL, program, MaxPathChars);
    if (length == 0 || length >= MaxPathChars) return FALSE;
    char name[96];
    snprintf(name, sizeof name, "\\\\.\\pipe\\tolvane-decoder-%lu-%ld-%lu",
             (unsigned long)GetCurrentProcessId(), (long)InterlockedIncrement(&PipeCounter),
             (unsigned long)GetTickCount());
    HANDLE pipe = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                                             FILE_FLAG_FIRST_PIPE_INSTANCE,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 1 << 16,
                                   1 << 16, 0, NULL);
    if (pipe == INVALID_HANDLE_VALUE) return FALSE;
    OVERLAPPED connect;
    ZeroMemory(&connect, sizeof connect);
    connect.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    BOOL waiting = connect.hEvent && !ConnectNamedPipe(pipe, &connect) &&
                   GetLastError() == ERROR_IO_PENDING;

    // "program" /decoder pipe-name; the pipe name is ASCII, so it widens byte by byte.
    WCHAR commandLine[MaxPathChars + 128];
    WCHAR* at = commandLine;
    *at++ = L'"';
    for (const WCHAR* c = program; *c; c++) *at++ = *c;
    for (const char* c = "\" /decoder "; *c; c++) *at++ = (WCHAR)*c;
    for (const char* c = name; *c; c++) *at++ = (WCHAR)*c;
    *at = 0;
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    BOOL connected = FALSE;
    DWORD unused;
    if (waiting && CreateProcessW(program, commandLine, NULL, NULL, FALSE, CREATE_NO_WINDOW,
                                  NULL, NULL, &startup, &info)) {
        connected = AwaitOverlapped(pipe, &connect, NULL, GetTickCount(), DecoderStartLimitMs,
                                    &unused);
    } else if (waiting) {
        CancelIo(pipe);  // the wait must end before its OVERLAPPED goes
        GetOverlappedResult(pipe, &connect, &unused, TRUE);
    }
    if (connect.hEvent) CloseHandle(connect.hEvent);
    ULONG clientId = 0;
    if (connected && GetNamedPipeClientProcessId(pipe, &clientId) && clientId != info.dwProcessId)
        d.process = OpenProcess(PROCESS_TERMINATE | PROCESS_SET_QUOTA | SYNCHRONIZE |
                                    PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, clientId);
    else if (connected)
        d.process = info.hProcess, info.hProcess = NULL;
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    if (!d.process) {
        CloseHandle(pipe);
        return FALSE;
    }
    HANDLE job = DecoderJobObject();
    if (job) AssignProcessToJobObject(job, d.process);
    d.pipe = pipe;
    return TRUE;
}

void EndDecoderProcess(Decoder& d)
{
    if (d.process) {
        TerminateProcess(d.process, 1);
        WaitForSingleObject(d.process, 2000);
    }
    CloseDecoderHandles(d);
}

BOOL AwaitOverlapped(HANDLE file, OVERLAPPED* overlapped, HANDLE process, DWORD startedAt,
                     DWORD timeoutMs, DWORD* transferred)
{
    HANDLE handles[2] = {overlapped->hEvent, process};
    const DWORD count = process ? 2 : 1;
    for (;;) {
        DWORD elapsed = GetTickCount() - startedAt;
        DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        // A completed operation is seen before the deadline: the handles come first.
        DWORD woke = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return GetOverlappedResult(file, overlapped, transferred, FALSE);
        if (woke == WAIT_OBJECT_0 + count) {
            PumpPendingMessages();
            continue;
        }
        break;  // the decoder ended, the time is up, or the wait failed
    }
    CancelIo(file);
    GetOverlappedResult(file, overlapped, transferred, TRUE);
    return FALSE;
}

// Finishes an overlapped read or write on the decoder's pipe before the decoder's
// deadline, or before it ends.
BOOL AwaitPipe(Decoder& d, OVERLAPPED* overlapped, DWORD* transferred)
{
    return AwaitOverlapped(d.pipe, overlapped, d.process, d.sentAt, d.limitMs, transferred);
}

// Reads or writes exactly size bytes through the pipe before the decoder's deadline.
BOOL Transfer(Decoder& d, BOOL write, uint8_t* data, size_t size)
{
    uint8_t* bounce = PipeBounceBuffer();
    OVERLAPPED overlapped;
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (!overlapped.hEvent) return FALSE;
    BOOL ok = bounce != NULL;
    size_t done = 0;
    while (ok && done < size) {
        DWORD chunk = (DWORD)(size - done < PipeBounceBytes ? size - done : PipeBounceBytes), moved = 0;
        if (write) memcpy(bounce, data + done, chunk);
        ResetEvent(overlapped.hEvent);
        BOOL now = write ? WriteFile(d.pipe, bounce, chunk, &moved, &overlapped)
                         : ReadFile(d.pipe, bounce, chunk, &moved, &overlapped);
        if (!now) ok = GetLastError() == ERROR_IO_PENDING && AwaitPipe(d, &overlapped, &moved);
        ok = ok && moved > 0 && moved <= chunk;
        if (ok && !write) memcpy(data + done, bounce, moved);
        done += moved;
    }
    CloseHandle(overlapped.hEvent);
    return ok;
}

}  // namespace

uint8_t* PipeBounceBuffer()
{
    static uint8_t* buffer = (uint8_t*)VirtualAlloc(NULL, PipeBounceBytes, MEM_COMMIT | MEM_RESERVE,
                                                    PAGE_READWRITE);
    return buffer;
}

BOOL SendDecodeRequest(int slot, const std::vector<uint8_t>& request, DWORD timeLimitMs)
{
    if (slot < 0 || slot >= DecoderCount) return FALSE;
    Decoder& d = Decoders[slot];
    if (d.busy) EndDecoderProcess(d);  // an unread reply would answer the wrong file
    if (d.process && WaitForSingleObject(d.process, 0) == WAIT_OBJECT_0) EndDecoderProcess(d);
    if (!d.process && !StartDecoder(d)) return FALSE;
    d.sentAt = GetTickCount();
    d.limitMs = timeLimitMs;
    if (!Transfer(d, TRUE, const_cast<uint8_t*>(request.data()), request.size())) {
        EndDecoderProcess(d);
        return FALSE;
    }
    d.busy = TRUE;
    return TRUE;
}

BOOL ReceiveDecodeReply(int slot, DecodeJobKind kind, std::vector<uint8_t>* body)
{
    body->clear();
    if (slot < 0 || slot >= DecoderCount || !Decoders[slot].busy) return FALSE;
    Decoder& d = Decoders[slot];
    uint8_t header[FrameHeaderBytes];
    DecodeStatus status;
    uint64_t length = 0;
    BOOL ok = Transfer(d, FALSE, header, sizeof header) &&
              ReadReplyHeader(header, kind, &status, &length);
    if (ok && length > 0) {
        try {
            body->resize((size_t)length);
        } catch (...) {
            ok = FALSE;
        }
        ok = ok && Transfer(d, FALSE, body->data(), body->size());
    }
    if (!ok) {
        body->clear();
        EndDecoderProcess(d);  // dead, late or talking nonsense: the next file gets a new one
        return FALSE;
    }
    d.busy = FALSE;
    return status == DecodeDone;
}

SIZE_T DecoderPeakBytes(int slot)
{
    PROCESS_MEMORY_COUNTERS memory;
    ZeroMemory(&memory, sizeof memory);
    memory.cb = sizeof memory;
    if (slot < 0 || slot >= DecoderCount || !Decoders[slot].process ||
        !GetProcessMemoryInfo(Decoders[slot].process, &memory, sizeof memory))
        return 0;
    return memory.PeakWorkingSetSize;
}

BOOL DecoderBusy(int slot)
{
    return slot >= 0 && slot < DecoderCount && Decoders[slot].busy;
}

void EndDecoder(int slot)
{
    if (slot >= 0 && slot < DecoderCount) EndDecoderProcess(Decoders[slot]);
}
