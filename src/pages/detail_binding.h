// Reading the profile file detail.fdg into a page's value labels.
#pragma once

#include "profile/profile_record.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <stdexcept>

namespace pages {

// The file the main window writes the profile to, by name alone: it lives in the
// current folder.
inline const std::filesystem::path kDetailFileName{profile::kDetailFileName};

// The last profile update could not write the file (a failed write, or no sign
// to write a profile for), so what is on disk (if anything) is not the profile
// the window shows. Composing from it would print a stale page. what() is the
// reason as the update remembered it.
class StaleDetailFile : public std::runtime_error {
public:
    explicit StaleDetailFile(const QString& reason);
};

// Reads `file` line by line and hands line n (1 to 13) to setCaption together
// with the number of the label it fills, as soon as the line has been read.
// A short file gives empty lines; lines after the 13th are ignored; a line of
// any length is read whole. Throws platform::FileError on the first failed open,
// read or close (the lines handed over before it stay handed over), and
// StaleDetailFile, before opening anything, when `state` says the last profile
// update left no current profile in the file.
void readDetailFile(const std::filesystem::path& file, const profile::DetailFileState* state,
                    const std::function<void(int labelNumber, const QString& text)>& setCaption);

} // namespace pages
