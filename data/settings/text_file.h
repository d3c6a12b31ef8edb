#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::ini {

// No settings or language file comes near this; anything larger is not one of ours.
inline constexpr std::size_t kMaxTextFileSize = 1024 * 1024;

struct TextRead {
    enum Kind {
        Content, // a regular file of at most kMaxTextFileSize bytes, read whole
        Missing, // nothing at the path
        Refused, // something is there that is not such a file (a folder, a pipe, a device, a huge
                 // file) or that could not be read
    };
    Kind kind = Missing;
    std::string content;
};

// Reads a file without ever blocking or reading without bound: the path is opened non-blocking and the
// opened object itself is checked, so a pipe, a device or a folder put there (or behind a link) reads
// as refused. A refusal is told once per path on the standard error stream.
TextRead ReadTextFile(const std::string& path);

// The whole content of a file, or nothing when it is missing or refused as above.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Whether a regular file exists at the path (a folder or an unreadable place counts as no file).
bool FileExists(const std::string& path);

// Replaces the file with the content, or creates it. The content goes to a new private file in the same
// folder first, reaches the disk, and is then renamed over the target, so readers, a crash and a power
// loss see either the old or the new file, never a truncated one. The new file keeps the old one's
// access rights. Returns false when the system refused any step, when the target is not a regular file,
// or when the user may not write the target itself (a read-only file stays as it is even in a folder
// the user may write); the target is then unchanged.
bool ReplaceWholeFile(const std::string& path, std::string_view content);

// Puts a new file with the content at the path, only if nothing is there, and never through a link: the
// content goes to a private temporary file made exclusively, reaches the disk, and only then takes the
// name, unless something took the name meanwhile. False when anything was already there or the system
// refused a step; nothing at the path is changed then, and no temporary file stays.
bool PlaceNewFile(const std::string& path, std::string_view content);

// Removes what killed writers of ReplaceWholeFile left beside the file: our own temporary copies of it.
// Only to be called while no other writer of this file runs.
void RemoveStaleTemporaries(const std::string& path);

// Whether a file name is one of ReplaceWholeFile's temporary names for the target name.
bool IsTemporaryNameOf(std::string_view fileName, std::string_view targetName);

// The suffix a temporary copy gets: ".tmp" and 16 hexadecimal digits, different for every call.
std::string TemporarySuffix();

// Tells once per path and reason that a file was passed over.
void WarnOnce(const std::string& path, const std::string& reason);

} // namespace orvanta::ini
