// Giving a file new contents without risking the old ones, and without replacing what is not a file.
#pragma once
#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>

#include "base/Error.h"
#include "base/FileWrites.h"

// Writes `bytes` as the whole contents of the file at `path`. A symbolic link is followed, once,
// to the file it names, which is the one written; the link stays. The new contents go to a new
// file beside that one, which then takes its place, so a failure midway leaves the old file whole;
// the new file keeps the old one's permission bits (without set-user-id, set-group-id and sticky).
// A folder that takes no new file makes it a write in place, truncated to the new length.
// Refused, with nothing changed: a name that is not a regular file (a folder, a device, a FIFO, a
// socket), and a file the user may not write, exactly as a write in place would be.
// The error's message is the reason alone (as strerror gives it), for the caller's own sentence.
// The files are opened and written through `writes`.
std::expected<void, CError> WriteFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                            CFileWrites& writes = CFileWrites::System());
