// For the native PDF tests: a scratch folder per test, whole-file reads and writes, and a
// BuildHost that works on real files and records what the builder shows.
#pragma once
#include <string>
#include <vector>

#include "pdf/pdf_builder.h"

// A new empty folder for this process, under $TOLVANE_TEST_TMP or /tmp.
std::string TestFolder(const std::string& name);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);  // "" when missing
bool FileExists(const std::string& path);

class FakeHost : public BuildHost {
public:
    bool ReadFileBytes(const char* path, std::vector<uint8_t>* out) override;
    bool FileExists(const char* path) override;
    bool StartFile(const char* path) override;
    bool WriteToFile(const uint8_t* data, size_t size) override;
    bool EndFile(bool keep) override;  // the file is written whole at the end
    bool SpoolAppend(const uint8_t* data, size_t size, uint64_t* offset) override;
    bool SpoolRead(uint64_t offset, uint8_t* data, size_t size) override;
    bool DeleteFileAt(const char* path) override;
    void SetProgressRange(int) override {}
    void StepProgress() override { ++steps; }
    void ResetProgress() override {}
    void SetMessageLine(const char* text) override { messages.push_back(text); }
    bool PumpAndContinue() override { return continuePumps < 0 || ++pumps <= continuePumps; }
    void ShowFailure(const char* message) override { failures.push_back(message); }
    int PictureWorkers() override { return workers; }

    int workers = 2;           // pictures made ahead of their turn, as the program does
    int continuePumps = -1;    // pumps answered true before the cancel; -1: never cancel
    bool failWrites = false;   // WriteToFile fails...
    bool leaveJunk = false;    // ...after StartFile left a few bytes at the path
    int spoolRoom = -1;        // pictures the spool takes before it fails; -1: all
    int pumps = 0, steps = 0, writes = 0;
    std::vector<std::string> messages, failures, deleted;
    std::string spool;  // the spooled pictures

private:
    std::string path_, file_;
};

// An entry for the builder.
ImageEntry Entry(const std::string& path, const char* caption = "[no caption]", int rotation = 0);
