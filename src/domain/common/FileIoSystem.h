#pragma once

#include "domain/common/FileIo.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the file functions of FileIo.cpp ask of the system. FileIoPosix.cpp
// and FileIoWin32.cpp answer with the system's own calls; the steps around
// those calls, the same on every system, are taken once in FileIo.cpp.
namespace tess::fileio {

// A file the system holds open for this process: a descriptor on Linux, a
// HANDLE on Windows (whose INVALID_HANDLE_VALUE is NoHandle too).
using Handle = std::intptr_t;
constexpr Handle NoHandle = -1;

// Sets error, where there is one, to path and detail; false, to return.
bool failWith(IoError* error, const std::string& path, std::string detail);

// The system's reason for the last of its calls on this thread that failed.
std::string lastReason();
// The reason for a call on a file that is not open.
std::string notOpenReason();

// The folder part of a path, with its trailing separator; "" for a bare name.
std::string folderPart(const std::string& path);
std::string namePart(const std::string& path);

void closeFile(Handle file);
void removeFile(const std::string& path);
bool writeAll(Handle file, std::string_view bytes);
// Flushes what is written to the file to disk.
bool flushFile(Handle file);
// Flushes the file's contents to disk, opening it by name.
bool flushToDisk(const std::string& path);
// Flushes the folder's entries (new names, renames) to disk where making
// or renaming the files has not already put them there.
void flushFolder(const std::string& folder);

// Opens a regular file to read it, with its size as it stands; NoHandle
// with reason when it cannot be opened or is not a regular file.
Handle openForReading(const std::string& path, std::size_t& size, std::string& reason);
// Reads up to room bytes: how many, 0 at the end, less than 0 on failure.
std::ptrdiff_t readSome(Handle file, char* into, std::size_t room);

// Opens a file to add to its end: one that must not be there yet, or one
// that is.
Handle createForAppending(const std::string& path);
Handle openForAppending(const std::string& path);

// The file a save replaces: the path itself, or the end of its chain of
// symbolic links (which need not exist yet: a new file is made there).
struct SaveTarget {
    std::string path;
    bool existing = false;
    // What a replacement keeps of an existing file where the system has it
    // (Linux): its type and permission bits, owner and group.
    std::uint32_t mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// The file a save of path replaces; nothing (with reason) when the path
// cannot be followed.
std::optional<SaveTarget> findSaveTarget(const std::string& path, std::string& reason);
// Why the target may not be replaced; nothing when it may.
std::optional<std::string> refusalOf(const SaveTarget& target);

// Runs make while no other save removes leftovers in the folder or makes
// its temporary file there.
void whileMakingTemporary(const std::string& folder, const std::function<void()>& make);
// Removes the temporary files that interrupted saves of a target left in
// its folder: those named prefix and a temporary suffix that no live save
// holds.
void removeLeftovers(const std::string& folder, const std::string& prefix);
// Makes the file path, which must not be there yet, to write it; NoHandle
// when it cannot, and then nameTaken tells whether a file had that name.
Handle createNew(const std::string& path);
bool nameTaken();
std::string nameTakenReason();
// What holds a new temporary file as a live save's for as long as it is
// open (see TemporaryFileMarker); NoHandle for nothing.
Handle lockOf(Handle temporary);
// Writes bytes to the new temporary file, gives it what it keeps of the
// target and lets it go unless it is its own lock. False with reason.
bool fillTemporary(Handle temporary, std::string_view bytes, const SaveTarget& target, std::string& reason);

// Runs rename while no other save renames files in the folders.
void whileRenaming(const std::vector<std::string>& folders, const std::function<void()>& rename);
// Puts the complete temporary file in the place of target (flushed to disk
// where flush is set); false when it fails, the reason in lastReason.
bool putInPlace(const std::string& temporary, const std::string& target, bool flush);

} // namespace tess::fileio
