#pragma once

#include <string>
#include <vector>

#include "CliCommands.h"
#include "RomBuilder.h"
#include "text/SpeciesTableText.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace testsupport {

struct CliRun {
    int code = -1;
    std::string out, err;
};

// A ROM from the builder in a folder of its own, with a data folder beside it as the program finds one:
// Data.ini with the builder's section (backups off unless asked) and the shipped list files.
class CliRom {
public:
    // The shipped list files serve unless namesFromRom, as the window's setting would say.
    explicit CliRom(const RomLayout& layout, bool backups = false, bool namesFromRom = false);
    CliRom(RomBuilder builder, bool backups, bool namesFromRom);

    [[nodiscard]] CliRun Run(std::vector<std::string> args) const;
    // Export to a file of the folder, then the text of that file.
    [[nodiscard]] std::string Export(const std::string& format) const;
    // The export as the library gives it, before any format.
    [[nodiscard]] TableText Table() const;
    // Writes the text to a file of the folder and imports it.
    [[nodiscard]] CliRun Import(const std::string& text, std::vector<std::string> more = {}) const;

    [[nodiscard]] const std::string& rom() const { return files_.rom; }
    [[nodiscard]] std::string File(const std::string& name) const { return dir_.File(name); }
    [[nodiscard]] const RomBuilder& builder() const { return builder_; }
    [[nodiscard]] std::vector<uint8_t> Bytes() const { return ReadFileBytes(files_.rom); }

private:
    TempDir dir_;
    RomBuilder builder_;
    RomFiles files_;
    CliEnvironment environment_;
};

// The shipped list file, entry n the name of number n.
[[nodiscard]] std::vector<std::string> ShippedList(const std::string& file);

}  // namespace testsupport
