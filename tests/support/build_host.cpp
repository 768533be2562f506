#include "support/build_host.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

std::string TestFolder(const std::string& name)
{
    const char* given = getenv("TOLVANE_TEST_TMP");
    std::string folder = std::string(given && *given ? given : "/tmp") + "/tolvane-" + name +
                         "-" + std::to_string(getpid());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    return (bool)out.write(bytes.data(), bytes.size());
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) { return fs::exists(path); }

bool FakeHost::ReadFileBytes(const char* path, std::vector<uint8_t>* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool FakeHost::FileExists(const char* path) { return ::FileExists(path); }

bool FakeHost::StartFile(const char* path)
{
    ++writes;
    if (leaveJunk) std::ofstream(path, std::ios::binary) << "%PDF-junk";
    path_ = path;
    file_.clear();
    return true;
}

bool FakeHost::WriteToFile(const uint8_t* data, size_t size)
{
    file_.append((const char*)data, size);
    return !failWrites;
}

bool FakeHost::EndFile(bool keep) { return keep && WriteWholeFile(path_, file_); }

bool FakeHost::SpoolAppend(const uint8_t* data, size_t size, uint64_t* offset)
{
    if (spoolRoom >= 0 && spoolRoom-- == 0) return false;
    *offset = spool.size();
    spool.append((const char*)data, size);
    return true;
}

bool FakeHost::SpoolRead(uint64_t offset, uint8_t* data, size_t size)
{
    if (offset + size > spool.size()) return false;
    memcpy(data, spool.data() + offset, size);
    return true;
}

bool FakeHost::DeleteFileAt(const char* path)
{
    deleted.push_back(path);
    return remove(path) == 0;
}

ImageEntry Entry(const std::string& path, const char* caption, int rotation)
{
    ImageEntry entry = MakeImageEntry(0, path.c_str(), PictureRect{0, 0, 96, 96});
    SetEntryCaption(&entry, caption);
    entry.rotation = rotation;
    return entry;
}
