// Whole-file transfer over kernel32: a file is read as one byte sequence, and replaced by one so
// that what was on disk survives any failure.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// A counted run of bytes, possibly empty, possibly holding NULs.
using Bytes = std::string;

// The file's whole content, letting others read it meanwhile but not write it. Nothing when it
// cannot be read: an empty name, missing, locked, no access, a folder, or too large to hold. An
// empty file gives an empty sequence.
std::optional<Bytes> ReadWholeFile(std::string_view name);

// Makes `data` the file's whole content. The data goes into a temporary file in the target's own
// folder, which replaces the target only once it is complete on disk, so on any failure the old
// file keeps its bytes and no temporary file is left. False for an empty name, a folder, a
// read-only target, and every failure on the way.
bool WriteWholeFile(std::string_view name, const Bytes& data);
