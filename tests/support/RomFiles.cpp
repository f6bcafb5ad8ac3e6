#include "RomFiles.h"

#include "TestFiles.h"

namespace testsupport {

RomFiles WriteRomFiles(const TempDir& dir, const RomBuilder& builder, const std::string& romName,
                       const std::vector<std::string>& extraSections) {
    RomFiles files;
    files.rom = dir.File(romName);
    files.ini = dir.File("Data.ini");
    files.session = builder.Session(files.rom);
    std::vector<std::string> sections = {builder.IniSection()};
    sections.insert(sections.end(), extraSections.begin(), extraSections.end());
    files.written = builder.WriteTo(files.rom) && WriteTestIni(files.ini, sections);
    return files;
}

}  // namespace testsupport
