#include "CliFixture.h"

#include <filesystem>
#include <sstream>

#include "text/ChoiceNames.h"
#include "ReadINI.h"
#include "text/ReferenceLists.h"
#include "text/SpeciesTableExport.h"

namespace testsupport {

CliRom::CliRom(const RomLayout& layout, bool backups, bool namesFromRom)
    : CliRom(RomBuilder(layout), backups, namesFromRom) {}

CliRom::CliRom(RomBuilder builder, bool backups, bool namesFromRom) : builder_(std::move(builder)) {
    files_ = WriteRomFiles(dir_, builder_);
    for (const char* list : {"Types.txt", "Items.txt", "Abilities.txt", "EggTypes.txt", "Attacks.txt"})
        std::filesystem::copy_file(std::string(VORNHAL_DATA_DIR) + "/" + list, dir_.File(list));
    if (!backups) (void)ReadINI::WriteIniValue(files_.ini, "Main", "BackupBeforeSave", "0");
    if (!namesFromRom) (void)ReadINI::WriteIniValue(files_.ini, "Main", "NamesFromRom", "0");
    environment_.dataFolder = dir_.path().string();
    environment_.settingsCopy = dir_.File("user-settings.ini");
}

CliRun CliRom::Run(std::vector<std::string> args) const {
    std::ostringstream out, err;
    CliRun run;
    run.code = RunCli(args, out, err, environment_);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::string CliRom::Export(const std::string& format) const {
    const std::string path = dir_.File("table." + format);
    (void)Run({"export", files_.rom, "-o", path, "--format", format});
    return ReadINI::ReadTextFile(path);
}

TableText CliRom::Table() const {
    const bool namesFromRom = ReadINI::ReadIniValue(files_.ini, "Main", "NamesFromRom") != "0";
    return ExportSpeciesTable(files_.session,
                              LoadChoiceNames(files_.session, environment_.dataFolder, namesFromRom));
}

CliRun CliRom::Import(const std::string& text, std::vector<std::string> more) const {
    const std::string path = dir_.File("edited.txt");
    (void)WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    std::vector<std::string> args = {"import", files_.rom, path};
    args.insert(args.end(), more.begin(), more.end());
    return Run(args);
}

std::vector<std::string> ShippedList(const std::string& file) {
    return LoadListFile(std::string(VORNHAL_DATA_DIR) + "/" + file);
}

}  // namespace testsupport
