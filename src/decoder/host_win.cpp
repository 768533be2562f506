// The program's side of the decoder processes: starting them inside one job object, a
// pipe that only the started decoder may use, and every wait with its limit, the message
// pump and the stop event.
#include "decoder/host_win.h"

#include <ntsecapi.h>
#include <psapi.h>
#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/message_loop_win.h"
#include "platform/owners_win.h"

#ifndef PIPE_REJECT_REMOTE_CLIENTS
#define PIPE_REJECT_REMOTE_CLIENTS 0x00000008
#endif

namespace {

struct Decoder {
    ScopedHandle process;
    ScopedHandle pipe;                   // the program's end, overlapped
    BOOL busy = FALSE;                   // a request was sent whose reply is unread
    BOOL contained = FALSE;              // in the job, which limits its memory
    DWORD decodeLimitMs = 0;             // for the request sent
};

Decoder Decoders[DecoderCount];
HANDLE StopEvent = NULL;  // signalled: every wait ends
HANDLE DecoderJob = NULL;  // every decoder runs in it and ends with the program
const DWORD DecoderStartLimitMs = 15000;  // a Wine process can take seconds to start
const DWORD HelloLimitMs = 3000;          // for a process that opened the pipe to name itself
const DWORD SendLimitMs = 15000;          // a decoder that takes no request is stuck
const DWORD LongestProgramPath = 32768;
const DWORD MemoryCheckMs = 250;  // how often the memory of a decoder outside the job is read

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

enum IoResult { IoDone, IoFailed, IoTimedOut, IoCancelled };

// The running operation was cancelled, or the program is closing.
BOOL WaitsStopped()
{
    return (StopEvent && WaitForSingleObject(StopEvent, 0) == WAIT_OBJECT_0) || QuitRequested();
}


// A decoder outside the job has no memory limit from the system: the program applies it.
BOOL OverMemoryLimit(const Decoder* d)
{
    PROCESS_MEMORY_COUNTERS memory;
    ZeroMemory(&memory, sizeof memory);
    memory.cb = sizeof memory;
    return d && !d->contained && GetProcessMemoryInfo(d->process.Get(), &memory, sizeof memory) &&
           memory.PagefileUsage > DecoderMemoryBytes;
}

// Waits until limitMs after startedAt for an overlapped operation, handling window
// messages meanwhile; the stop event, the quit message, or the decoder (if any) ending or
// going over its memory ends the wait, and the I/O is then cancelled.
IoResult AwaitIo(HANDLE file, OVERLAPPED* overlapped, const Decoder* d, DWORD startedAt,
                 DWORD limitMs, DWORD* transferred)
{
    // The operation's own event first: a completed operation is seen before anything else.
    HANDLE handles[3] = {overlapped->hEvent};
    DWORD count = 1;
    if (StopEvent) handles[count++] = StopEvent;
    if (d && d->process.Valid()) handles[count++] = d->process.Get();
    for (;;) {
        DWORD elapsed = GetTickCount() - startedAt;
        DWORD left = elapsed >= limitMs ? 0 : limitMs - elapsed;
        const BOOL checkMemory = d && !d->contained && left > MemoryCheckMs;
        DWORD woke = MsgWaitForMultipleObjects(count, handles, FALSE,
                                               checkMemory ? MemoryCheckMs : left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            return GetOverlappedResult(file, overlapped, transferred, FALSE) ? IoDone : IoFailed;
        if (woke == WAIT_OBJECT_0 + count) PumpPendingMessages();
        IoResult result = IoFailed;  // the decoder ended, or went over its memory
        if (WaitsStopped()) result = IoCancelled;
        else if (woke == WAIT_OBJECT_0 + count) continue;
        else if (woke == WAIT_TIMEOUT && checkMemory && !OverMemoryLimit(d)) continue;
        else if (woke == WAIT_TIMEOUT && !checkMemory) result = IoTimedOut;
        CancelIo(file);  // the wait must end before its OVERLAPPED goes
        GetOverlappedResult(file, overlapped, transferred, TRUE);
        return result;
    }
}

// Reads or writes exactly size bytes through the pipe within limitMs of startedAt.
IoResult PipeIo(HANDLE pipe, const Decoder* d, BOOL write, uint8_t* data, size_t size,
                DWORD startedAt, DWORD limitMs)
{
    uint8_t* bounce = PipeBounceBuffer();
    ScopedHandle event(CreateEventA(NULL, TRUE, FALSE, NULL));
    OVERLAPPED overlapped;
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = event.Get();
    IoResult result = bounce && event.Valid() ? IoDone : IoFailed;
    size_t done = 0;
    while (result == IoDone && done < size) {
        DWORD chunk = (DWORD)(size - done < PipeBounceBytes ? size - done : PipeBounceBytes), moved = 0;
        if (write) memcpy(bounce, data + done, chunk);
        ResetEvent(overlapped.hEvent);
        BOOL now = write ? WriteFile(pipe, bounce, chunk, &moved, &overlapped)
                         : ReadFile(pipe, bounce, chunk, &moved, &overlapped);
        if (!now)
            result = GetLastError() == ERROR_IO_PENDING
                         ? AwaitIo(pipe, &overlapped, d, startedAt, limitMs, &moved)
                         : IoFailed;
        if (result == IoDone && (moved == 0 || moved > chunk)) result = IoFailed;
        if (result == IoDone && !write) memcpy(data + done, bounce, moved);
        done += moved;
    }
    return result;
}

// Random bytes as lower-case hex into out (2 * bytes + 1 characters).
BOOL RandomHex(char* out, ULONG bytes)
{
    uint8_t random[32];
    if (bytes > sizeof random || !RtlGenRandom(random, bytes)) return FALSE;
    for (ULONG i = 0; i < bytes; i++) snprintf(out + 2 * i, 3, "%02x", random[i]);
    return TRUE;
}

// A security descriptor that lets only the user the program runs as open the pipe; made
// once and kept for the run. Null when the user cannot be told.
PSECURITY_DESCRIPTOR UserOnlySecurity()
{
    static PSECURITY_DESCRIPTOR descriptor = NULL;
    if (descriptor) return descriptor;
    HANDLE opened = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return NULL;
    ScopedHandle token(opened);
    union {
        TOKEN_USER user;
        BYTE bytes[256];
    } owner;
    DWORD size = 0;
    LPWSTR text = NULL;
    if (!GetTokenInformation(token.Get(), TokenUser, &owner, sizeof owner, &size) ||
        !ConvertSidToStringSidW(owner.user.User.Sid, &text))
        return NULL;
    std::unique_ptr<WCHAR, LocalMemoryFreer> sid(text);
    WCHAR sddl[200];
    if (lstrlenW(sid.get()) < 150) {
        lstrcpyW(sddl, L"D:P(A;;GA;;;");  // protected: full access for that user alone
        lstrcatW(sddl, sid.get());
        lstrcatW(sddl, L")");
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                  &descriptor, NULL))
            descriptor = NULL;
    }
    return descriptor;
}

void Append(std::vector<WCHAR>* text, const WCHAR* wide)
{
    for (; *wide; wide++) text->push_back(*wide);
}

void AppendAscii(std::vector<WCHAR>* text, const char* ascii)
{
    for (; *ascii; ascii++) text->push_back((WCHAR)*ascii);
}

// "program" /decoder pipe secret. A program path beyond MAX_PATH goes by its
// short form, which every Windows starts. FALSE when the program's path is unknown.
BOOL DecoderCommandLine(const char* pipeName, const char* secret, std::vector<WCHAR>* out)
{
    std::vector<WCHAR> program(LongestProgramPath);
    DWORD length = GetModuleFileNameW(NULL, program.data(), LongestProgramPath);
    if (length == 0 || length >= LongestProgramPath) return FALSE;
    if (length >= MAX_PATH) {
        std::vector<WCHAR> shorter(LongestProgramPath);
        DWORD shortLength = GetShortPathNameW(program.data(), shorter.data(), LongestProgramPath);
        if (shortLength > 0 && shortLength < length) program.swap(shorter);
    }
    char rest[160];
    snprintf(rest, sizeof rest, "\" /decoder %s %s", pipeName, secret);
    out->clear();
    out->push_back(L'"');
    Append(out, program.data());
    AppendAscii(out, rest);
    out->push_back(0);
    return TRUE;
}

// Waits for the decoder to open the pipe and name itself with the secret on its command
// line. Any other process that opens the pipe first is turned away, and the wait goes on
// for the decoder, which retries. Returns the decoder's process, or null.
ScopedHandle AcceptDecoder(HANDLE pipe, const char* secret, const PROCESS_INFORMATION& started)
{
    const DWORD startedAt = GetTickCount();
    for (;;) {
        ScopedHandle event(CreateEventA(NULL, TRUE, FALSE, NULL));
        if (!event.Valid()) return ScopedHandle();
        OVERLAPPED connect;
        ZeroMemory(&connect, sizeof connect);
        connect.hEvent = event.Get();
        IoResult result = IoDone;
        DWORD unused;
        if (!ConnectNamedPipe(pipe, &connect)) {
            DWORD error = GetLastError();
            if (error == ERROR_IO_PENDING)
                result = AwaitIo(pipe, &connect, NULL, startedAt, DecoderStartLimitMs, &unused);
            else if (error != ERROR_PIPE_CONNECTED)
                result = IoFailed;
        }
        if (result != IoDone) return ScopedHandle();

        char hello[DecoderSecretChars];
        DWORD elapsed = GetTickCount() - startedAt;
        DWORD left = elapsed >= DecoderStartLimitMs ? 0 : DecoderStartLimitMs - elapsed;
        result = PipeIo(pipe, NULL, FALSE, (uint8_t*)hello, sizeof hello, GetTickCount(),
                        left < HelloLimitMs ? left : HelloLimitMs);
        if (result == IoCancelled) return ScopedHandle();
        ULONG client = 0;
        if (result == IoDone && memcmp(hello, secret, sizeof hello) == 0 &&
            GetNamedPipeClientProcessId(pipe, &client)) {
            // Under Wine the process started may be a launcher of the decoder.
            HANDLE process = NULL;
            if (started.hProcess && client == started.dwProcessId)
                DuplicateHandle(GetCurrentProcess(), started.hProcess, GetCurrentProcess(),
                                &process, 0, FALSE, DUPLICATE_SAME_ACCESS);
            else
                process = OpenProcess(PROCESS_TERMINATE | PROCESS_SET_QUOTA | SYNCHRONIZE |
                                          PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                      FALSE, client);
            return ScopedHandle(process);
        }
        DisconnectNamedPipe(pipe);  // not our decoder
    }
}

BOOL StartDecoder(Decoder& d)
{
    char pipeName[64] = "\\\\.\\pipe\\tolvane-", secret[DecoderSecretChars + 1];
    std::vector<WCHAR> commandLine;
    SECURITY_ATTRIBUTES security = {sizeof security, UserOnlySecurity(), FALSE};
    if (!security.lpSecurityDescriptor || !RandomHex(pipeName + strlen(pipeName), 16) ||
        !RandomHex(secret, DecoderSecretChars / 2) ||
        !DecoderCommandLine(pipeName, secret, &commandLine))
        return FALSE;
    ScopedHandle pipe(CreateNamedPipeA(pipeName, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                                                     FILE_FLAG_FIRST_PIPE_INSTANCE,
                                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT |
                                           PIPE_REJECT_REMOTE_CLIENTS,
                                       1, 1 << 16, 1 << 16, 0, &security));
    if (!pipe.Valid()) return FALSE;
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    ZeroMemory(&started, sizeof started);
    ScopedHandle process;
    // Out of a job the program runs in, where that job allows it: the decoder then goes
    // into the program's own job.
    BOOL created = FALSE;
    const DWORD tries[] = {CREATE_NO_WINDOW | CREATE_BREAKAWAY_FROM_JOB, CREATE_NO_WINDOW};
    for (DWORD flags : tries) {
        ZeroMemory(&started, sizeof started);  // a failed call may leave anything here
        created = CreateProcessW(NULL, commandLine.data(), NULL, NULL, FALSE, flags, NULL, NULL,
                                 &startup, &started);
        if (created) break;
    }
    // Under Wine a Winelib program starts through a launcher, which gives no handles (and
    // leaves the rest of the record unset): the decoder names itself on the pipe.
    if (!started.hProcess) ZeroMemory(&started, sizeof started);
    ScopedHandle startedProcess(started.hProcess), startedThread(started.hThread);
    if (created) process = AcceptDecoder(pipe.Get(), secret, started);
    if (!process.Valid() && startedProcess.Valid())
        TerminateProcess(startedProcess.Get(), 1);  // it never came, or the wait was stopped
    if (!process.Valid()) return FALSE;
    // A decoder outside the job (the program may itself run in a job that allows no other)
    // has its memory watched by the program's waits, and is ended when the program closes.
    HANDLE job = DecoderJobObject();
    d.contained = job && AssignProcessToJobObject(job, process.Get());
    d.process = std::move(process);
    d.pipe = std::move(pipe);
    return TRUE;
}

void EndDecoderProcess(Decoder& d)
{
    if (d.process.Valid()) {
        TerminateProcess(d.process.Get(), 1);
        WaitForSingleObject(d.process.Get(), 2000);
    }
    d = Decoder();
}

DecodeOutcome OutcomeOf(IoResult result)
{
    return result == IoTimedOut    ? DecodeTooSlow
           : result == IoCancelled ? DecodeCancelled
                                   : DecodeUnreadableFile;
}

}  // namespace

void StopDecoderWaitsOn(HANDLE event)
{
    StopEvent = event;
}

uint8_t* PipeBounceBuffer()
{
    static uint8_t* buffer = (uint8_t*)VirtualAlloc(NULL, PipeBounceBytes, MEM_COMMIT | MEM_RESERVE,
                                                    PAGE_READWRITE);
    return buffer;
}

BOOL SendDecodeJob(int slot, DecodeJobKind kind, const char* path, const PagePlan& plan,
                   DWORD decodeLimitMs, int thumbnailSide, bool leaveInFile)
{
    if (slot < 0 || slot >= DecoderCount || !path || !path[0]) return FALSE;
    std::vector<uint8_t> request;
    try {
        request = EncodeRequest(kind, path, plan, thumbnailSide, leaveInFile);  // the decoder maps the file
    } catch (...) {
        return FALSE;  // no memory even for a request
    }
    Decoder& d = Decoders[slot];
    if (d.busy) EndDecoderProcess(d);  // an unread reply would answer the wrong file
    if (d.process.Valid() && WaitForSingleObject(d.process.Get(), 0) == WAIT_OBJECT_0)
        EndDecoderProcess(d);
    if (!d.process.Valid() && !StartDecoder(d)) return FALSE;
    if (PipeIo(d.pipe.Get(), &d, TRUE, const_cast<uint8_t*>(request.data()), request.size(),
               GetTickCount(), SendLimitMs) != IoDone) {
        EndDecoderProcess(d);
        return FALSE;
    }
    d.decodeLimitMs = decodeLimitMs;
    d.busy = TRUE;
    return TRUE;
}

DecodeOutcome ReceiveDecodeReply(int slot, DecodeJobKind kind, std::vector<uint8_t>* body,
                                 bool* inFile)
{
    body->clear();
    if (inFile) *inFile = false;
    if (slot < 0 || slot >= DecoderCount) return DecodeUnreadableFile;
    Decoder& d = Decoders[slot];
    if (WaitsStopped()) {  // the file being read when Cancel came is not waited for
        if (d.busy) EndDecoderProcess(d);
        return DecodeCancelled;
    }
    if (!d.busy) return DecodeUnreadableFile;
    // First the notice that the file has been read, then the reply: the decoding's clock
    // starts at the notice, or now if it came before the program began to wait.
    uint8_t header[FrameHeaderBytes];
    DecodeStatus status = DecodeUnreadable;
    uint64_t length = 0;
    IoResult result = PipeIo(d.pipe.Get(), &d, FALSE, header, sizeof header, GetTickCount(),
                             FileReadTimeLimitMs);
    if (result == IoDone &&
        (!ReadReplyHeader(header, kind, &status, &length) || status != DecodeFileRead))
        result = IoFailed;
    const DWORD decodingFrom = GetTickCount();
    if (result == IoDone)
        result = PipeIo(d.pipe.Get(), &d, FALSE, header, sizeof header, decodingFrom,
                        d.decodeLimitMs);
    if (result == IoDone &&
        (!ReadReplyHeader(header, kind, &status, &length) || status == DecodeFileRead))
        result = IoFailed;
    DecodeOutcome outcome = OutcomeOf(result);
    if (result == IoDone && length > 0) {
        try {
            body->resize((size_t)length);
            result = PipeIo(d.pipe.Get(), &d, FALSE, body->data(), body->size(), decodingFrom,
                            d.decodeLimitMs);
            outcome = OutcomeOf(result);
        } catch (...) {
            result = IoFailed;
            outcome = DecodeNoMemory;
        }
    }
    if (result != IoDone) {
        std::vector<uint8_t>().swap(*body);
        EndDecoderProcess(d);  // dead, late or talking nonsense: the next file gets a new one
        return outcome;
    }
    d.busy = FALSE;
    if (inFile) *inFile = status == DecodeDoneInFile;
    return status == DecodeDone || status == DecodeDoneInFile ? Decoded : DecodeUnreadableFile;
}

SIZE_T DecoderPeakBytes(int slot)
{
    PROCESS_MEMORY_COUNTERS memory;
    ZeroMemory(&memory, sizeof memory);
    memory.cb = sizeof memory;
    if (slot < 0 || slot >= DecoderCount || !Decoders[slot].process.Valid() ||
        !GetProcessMemoryInfo(Decoders[slot].process.Get(), &memory, sizeof memory))
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

void EndBusyDecoders()
{
    for (Decoder& d : Decoders)
        if (d.busy) EndDecoderProcess(d);
}

void EndAllDecoders()
{
    for (int slot = 0; slot < DecoderCount; slot++) EndDecoder(slot);
}
